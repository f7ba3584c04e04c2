// pilewave-cli apply: the window's edit-and-apply path for scripts: select a pile, load its pending
// set, change the given values, commit length or speed, apply to the chosen scope, save. The marks
// follow as in the window: heads move with a change of the filters' delay, defects keep their times
// at a new speed.
#include <cstdio>
#include <optional>

#include "cli/CliCommands.h"
#include "core/CDEVAzazDoc.h"
#include "core/ReportContent.h"
#include "core/ValueRules.h"

namespace pw::cli {
namespace {

struct CApplyOptions {
    std::string path, out, scope = kScopeCurrent;
    int pile = 0;
    std::optional<float> length, lowpass, highpass, gain, gainDelay;
    std::optional<int> speed, passes, preZero, postCut;
    std::string gainMode, integrate, pileClass;
    bool restore = false;
};

void Refuse(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    Exit(1);
}

void RunApply(const CApplyOptions& o) {
    CDEVAzazDoc doc;
    const CDocResult opened = doc.Open(o.path);
    for (const auto& note : opened.m_Notes) std::fprintf(stderr, "%s: note: %s\n", o.path.c_str(), note.c_str());
    if (!opened.Ok()) Refuse(opened.CliText());
    if (doc.GetPileCount() == 0) Refuse(o.path + ": no piles to apply to");
    const int pile = o.pile ? o.pile : doc.m_Piles.front().m_nPileNo;
    if (!doc.FindPile(pile)) Refuse(o.path + ": there is no pile " + std::to_string(pile));
    doc.SetSelection({pile});
    doc.Estimate().m_strScope = o.scope;

    if (o.restore) {
        if (const std::string m = doc.RestoreParameters(); !m.empty()) Refuse(m);
    }
    PendingParams& p = doc.m_Pending;
    // The filter and gain dialogs' checks: what they would refuse is refused here, and nothing is written.
    if (o.lowpass || o.highpass || o.passes) {
        const FilterValues filter{o.lowpass.value_or(p.m_fLowPass), o.passes.value_or(p.m_nLowPassPasses),
                                  o.highpass.value_or(p.m_fHighPass)};
        if (const std::string m = CheckFilter(filter); !m.empty()) Refuse(m);
    }
    if (o.gain) {
        if (const std::string m = CheckGainFactor(*o.gain); !m.empty()) Refuse(m);
    }
    if (o.lowpass) p.m_fLowPass = *o.lowpass;
    if (o.highpass) p.m_fHighPass = *o.highpass;
    if (o.passes) p.m_nLowPassPasses = static_cast<int16_t>(*o.passes);
    if (o.gain) p.m_fGain = *o.gain;
    if (o.gainDelay) p.m_fGainDelay = *o.gainDelay;
    if (!o.gainMode.empty()) p.m_nGainMode = o.gainMode == "lin" ? 1 : 0;
    if (!o.integrate.empty()) p.m_bIntegrate = o.integrate == "on" ? 1 : 0;
    // Pre-zero and post-cut go through the same checks as their dialogs.
    if (o.preZero) {
        if (const std::string m = doc.PreZero(*o.preZero); !m.empty()) Refuse(m);
    }
    if (o.postCut) {
        if (const std::string m = doc.PostCut(*o.postCut); !m.empty()) Refuse(m);
    }
    CEstimateState& bar = doc.Estimate();
    if (o.length) {
        if (const std::string m = bar.CommitLength(&doc, *o.length); !m.empty()) Refuse(m);
    } else if (o.speed) {
        if (const std::string m = bar.CommitSpeed(&doc, *o.speed); !m.empty()) Refuse(m);
    }
    // The delay is held against the length the piles get, as the gain dialog holds it against the bar's.
    if (o.gainDelay) {
        if (const std::string m = CheckGainDelay(*o.gainDelay, GainDelayLimit(bar.m_fLength)); !m.empty()) Refuse(m);
    }
    if (const std::string m = doc.ApplyPending(); !m.empty()) Refuse(m);
    // A class decision belongs to the pile: every record of each pile in the scope gets it.
    if (!o.pileClass.empty()) doc.SetClassForScope(o.scope, ParseClassDecision(o.pileClass));
    const CDocResult saved = doc.Save(o.out);
    if (!saved.Ok()) Refuse(saved.CliText());
    std::printf("applied to %zu piles (%s); wrote %s\n", doc.ScopePiles(o.scope).size(), o.scope.c_str(),
                o.out.c_str());
}

} // namespace

void AddApplyCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand(
        "apply", "Change processing values of a pile and apply them to a scope, as the window does. The marks "
                 "follow the trace: a change of the filters' delay moves each head sample with it (refused when "
                 "a head would leave samples 0..1023), and a new speed keeps the toe's and every defect's time "
                 "(lengths and defect depths follow)");
    auto o = std::make_shared<CApplyOptions>();
    cmd->add_option("PATH", o->path, "project file, tester folder, or a file inside one")->required();
    cmd->add_option("-o,--output", o->out, "the version-3 project file to write")->required();
    cmd->add_option("--scope", o->scope, "当前道 (the pile), 当前组 (its name group) or 全部波列 (all piles)")
        ->check(CLI::IsMember({std::string(kScopeCurrent), std::string(kScopeGroup), std::string(kScopeAll)}));
    cmd->add_option("--pile", o->pile, "the current pile (default: the first)");
    auto* length = cmd->add_option("--length", o->length,
                                   "estimated pile length, m (the speed is derived per pile; defects keep their times)");
    cmd->add_option("--speed", o->speed, "estimated wave speed, m/s (the length is derived per pile; defects keep their times)")
        ->excludes(length);
    cmd->add_option("--lowpass", o->lowpass,
                    "low-pass cutoff, kHz: 0 (off) to 5.0, above the high-pass (the head follows the filter's delay)");
    cmd->add_option("--highpass", o->highpass, "high-pass cutoff, Hz: 0 (off) to 2000.0 (the head follows the filter's delay)");
    cmd->add_option("--passes", o->passes, "low-pass passes, 1 to 5 (the head follows the filter's delay)");
    cmd->add_option("--gain", o->gain, "gain factor, 1.0 to 1000.0");
    cmd->add_option("--gain-delay", o->gainDelay, "gain delay below the head, m (at most 0.8 x the pile length)");
    cmd->add_option("--gain-mode", o->gainMode, "exp or lin")->check(CLI::IsMember({"exp", "lin"}));
    cmd->add_option("--integrate", o->integrate, "on or off")->check(CLI::IsMember({"on", "off"}));
    cmd->add_option("--pre-zero", o->preZero, "leading samples forced to 0");
    cmd->add_option("--post-cut", o->postCut, "trailing samples forced to 0");
    cmd->add_option("--class", o->pileClass,
                    "integrity class of the piles in the scope: I, II, III, IV, or rule (back to the defect rule: "
                    "断桩 IV; 缩径, 裂纹, 夹泥, 离析 II/III undecided; else I); every record of a pile gets it")
        ->check(CLI::IsMember({"rule", "I", "II", "III", "IV"}));
    cmd->add_flag("--restore", o->restore, "reset the processing values first (恢复参数; the head follows)");
    cmd->callback([o] { RunApply(*o); });
}

} // namespace pw::cli
