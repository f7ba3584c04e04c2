// pilewave-cli simulate: synthetic pile records from the wave model, one pile from options or a
// whole site from a description file, written as a project file, a tester folder and/or a tester
// storage tree.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/CliCommands.h"
#include "cli/CliText.h"
#include "core/TesterFolderWriter.h"
#include "link/TesterStorageWriter.h"
#include "sim/PileSimulator.h"
#include "sim/SiteSimulator.h"

namespace pw::cli {
namespace {

using nlohmann::json;

struct CSimulateOptions {
    std::string site; // description file, or "" for one pile
    float length = 0.f, speed = 3800.f, dt = 20.f, noise = 0.01f, diameter = 800.f;
    float toe = 0.2f, damping = 0.02f, duration = 1.0f, amplitude = 100.f;
    int head = 50, type = 1;
    uint64_t seed = 1;
    std::vector<std::string> defects;
    std::string name = "1#", date, unit, project, siteName = "SITE1";
    std::string out, folder, storage;
};

[[noreturn]] void RefuseDescription(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    Exit(2);
}

// Takes the keys of a description object one by one and refuses any it does not know, so that a
// misspelt key is an error and not a silent default.
class CKeys {
public:
    CKeys(const json& object, std::string where) : m_Object(object), m_strWhere(std::move(where)) {
        if (!object.is_object()) RefuseDescription(m_strWhere + " must be a JSON object");
    }
    template <class T> void Get(const char* key, T& value) {
        m_Known.push_back(key);
        if (!m_Object.contains(key)) return;
        try {
            value = m_Object.at(key).get<T>();
        } catch (const json::exception&) {
            RefuseDescription(m_strWhere + ": \"" + key + "\" has the wrong type");
        }
    }
    void Finish() const {
        for (const auto& item : m_Object.items())
            if (std::find(m_Known.begin(), m_Known.end(), item.key()) == m_Known.end())
                RefuseDescription(m_strWhere + ": unknown key \"" + item.key() + "\"");
    }

private:
    const json& m_Object;
    std::string m_strWhere;
    std::vector<std::string> m_Known;
};

std::vector<CSimDefect> Defects(const std::vector<std::string>& texts, const std::string& where) {
    std::vector<CSimDefect> out;
    for (const std::string& text : texts) {
        CSimDefect d;
        const std::string error = ParseDefect(text, d);
        if (!error.empty()) RefuseDescription(where + error);
        out.push_back(d);
    }
    if (out.size() > static_cast<std::size_t>(kMaxDefects)) RefuseDescription(where + "a pile holds at most 10 defects");
    return out;
}

CSiteDescription ReadSiteDescription(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open\n", path.c_str());
        Exit(1);
    }
    json j;
    try {
        j = json::parse(in);
    } catch (const json::exception& e) {
        RefuseDescription(path + ": " + e.what());
    }
    CSiteDescription s;
    CKeys keys(j, path);
    keys.Get("site", s.strSite);
    keys.Get("test_unit", s.strTestUnit);
    keys.Get("project_name", s.strProjectName);
    keys.Get("date", s.strDate);
    keys.Get("seed", s.nSeed);
    keys.Get("wave_speed", s.fWaveSpeed);
    keys.Get("speed_scatter", s.fSpeedScatter);
    keys.Get("diameter", s.fDiameter);
    keys.Get("pile_type", s.nPileType);
    keys.Get("sample_interval", s.fSampleInterval);
    keys.Get("toe_fixity", s.fToeFixity);
    keys.Get("shaft_damping", s.fShaftDamping);
    keys.Get("noise", s.fNoise);
    json piles = json::array();
    keys.Get("piles", piles);
    keys.Finish();
    if (!piles.is_array() || piles.empty()) RefuseDescription(path + ": \"piles\" must be a list of piles");
    for (std::size_t i = 0; i < piles.size(); ++i) {
        const std::string where = path + ": pile " + std::to_string(i + 1);
        CSitePile p;
        std::vector<std::string> defects;
        CKeys pk(piles[i], where);
        pk.Get("name", p.strName);
        pk.Get("length", p.fLength);
        pk.Get("wave_speed", p.fWaveSpeed);
        pk.Get("diameter", p.fDiameter);
        pk.Get("pile_type", p.nPileType);
        pk.Get("sample_interval", p.fSampleInterval);
        pk.Get("toe_fixity", p.fToeFixity);
        pk.Get("shaft_damping", p.fShaftDamping);
        pk.Get("date", p.strDate);
        pk.Get("defects", defects);
        pk.Get("blows", p.nBlows);
        pk.Finish();
        p.defects = Defects(defects, where + ": ");
        s.piles.push_back(std::move(p));
    }
    return s;
}

void WroteOrExit(const std::string& what, const std::string& error) {
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        Exit(1);
    }
    std::printf("wrote %s\n", what.c_str());
}

void RunSimulate(const CSimulateOptions& o) {
    if (o.out.empty() && o.folder.empty() && o.storage.empty())
        RefuseDescription("nothing to write: give -o, --tester-folder or --tester-storage");
    CProjectData data;
    std::string siteName = o.siteName;
    if (!o.site.empty()) {
        const CSiteDescription desc = ReadSiteDescription(o.site);
        const std::string error = SimulateSite(desc, data);
        if (!error.empty()) RefuseDescription(o.site + ": " + error);
        siteName = desc.strSite;
    } else {
        if (!(o.length > 0.f && o.length <= 100.f) || !(o.speed > 0.f) || !(o.diameter > 0.f))
            RefuseDescription("--length (up to 100 m), --speed and --diameter must be positive");
        if (!(o.dt >= kMinSimInterval && o.dt <= kMaxSimInterval))
            RefuseDescription("--dt must lie between 1 and 1000 us");
        CPileDescription pile;
        pile.fLength = o.length;
        pile.fWaveSpeed = o.speed;
        pile.fDiameter = o.diameter;
        pile.fToeFixity = o.toe;
        pile.fShaftDamping = o.damping;
        pile.defects = Defects(o.defects, "--defect: ");
        if (const std::string bad = CheckDefectDepths(pile.defects, pile.fLength); !bad.empty())
            RefuseDescription("--defect: " + bad);
        CBlowDescription blow;
        blow.fSampleInterval = o.dt;
        blow.fDuration = o.duration;
        blow.fAmplitude = o.amplitude;
        blow.fNoise = o.noise;
        blow.nHeadSample = o.head;
        blow.nSeed = o.seed;
        data.m_Piles.push_back(
            SimulatePile(pile, blow, CPileLabel{o.name, o.date.empty() ? TodayText() : o.date, o.type}));
        data.m_Piles.back().m_nPileNo = 1;
        data.m_Header.m_nPileCount = 1;
        data.m_Header.SetTestUnit(o.unit);
        data.m_Header.SetProjectName(o.project);
    }
    if (!o.storage.empty()) { // refuse a bad site name before anything is written
        std::string gbk, error;
        if (!SiteFolderName(siteName, gbk, error)) RefuseDescription(error);
    }
    const std::string count = std::to_string(data.m_Piles.size()) + " piles";
    if (!o.out.empty())
        WroteOrExit(o.out + " (" + count + ")", SaveProjectFile(o.out, data.m_Header, data.m_Piles));
    if (!o.folder.empty())
        WroteOrExit(o.folder + " (" + count + ")", SaveTesterFolder(o.folder, data.m_Piles));
    if (!o.storage.empty()) {
        CTesterSite site{siteName, data.m_Header, data.m_Piles};
        std::string error;
        if (!WriteTesterStorage(o.storage, {site}, error) && error.empty())
            error = "cannot write " + o.storage;
        WroteOrExit(o.storage + " (site " + siteName + ", " + count + ")", error);
    }
}

} // namespace

void AddSimulateCommand(CLI::App& app) {
    auto* cmd =
        app.add_subcommand("simulate", "Synthetic pile records from a wave model of the pile in soil");
    auto o = std::make_shared<CSimulateOptions>();
    cmd->add_option("--site", o->site,
                    "site description (JSON): texts, seed, site values and the list of piles");
    cmd->add_option("--length", o->length, "one pile: length, m");
    cmd->add_option("--speed", o->speed, "wave speed of the concrete, m/s")->capture_default_str();
    cmd->add_option("--dt", o->dt, "sampling interval, us")->capture_default_str();
    cmd->add_option("--defect", o->defects,
                    "DEPTH:TYPE[:SEVERITY[:EXTENT]], such as 5.5:缩径:0.3 (repeatable)");
    cmd->add_option("--noise", o->noise, "sensor noise, fraction of the blow's peak")->capture_default_str();
    cmd->add_option("--diameter", o->diameter, "mm")->capture_default_str();
    cmd->add_option("--toe", o->toe, "toe fixity: 0 free .. 0.5 no echo .. 1 fixed")->capture_default_str();
    cmd->add_option("--damping", o->damping, "shaft damping, 1/m")->capture_default_str();
    cmd->add_option("--duration", o->duration, "hammer contact, ms")->capture_default_str();
    cmd->add_option("--amplitude", o->amplitude, "peak velocity of the blow, raw units")
        ->capture_default_str();
    cmd->add_option("--head", o->head, "sample at which the hammer touches")->capture_default_str();
    cmd->add_option("--seed", o->seed, "noise seed")->capture_default_str();
    cmd->add_option("--name", o->name, "pile name")->capture_default_str();
    cmd->add_option("--type", o->type, "pile-type code 0..7")->capture_default_str();
    cmd->add_option("--date", o->date, "test date (default today)");
    cmd->add_option("--unit", o->unit, "test unit of the project");
    cmd->add_option("--project", o->project, "project name");
    cmd->add_option("--site-name", o->siteName, "one pile: the site's folder name in the tester storage")
        ->capture_default_str();
    cmd->add_option("-o,--output", o->out, "version-3 project file to write");
    cmd->add_option("--tester-folder", o->folder, "tester folder to write (idindx.par, 1.wvf ...)");
    cmd->add_option("--tester-storage", o->storage,
                    "tester storage to write (RSITE.PAR, one folder per site)");
    cmd->callback([o] {
        if (o->site.empty() && o->length <= 0.f) RefuseDescription("give --length for one pile or --site for a site");
        RunSimulate(*o);
    });
}

} // namespace pw::cli
