// The report's pictures drawn offscreen by the view's plotting routines, as PNG bytes.
#include <cerrno>
#include <cstdlib>
#include <string>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>

#include "cli/ReportCommands.h"
#include "view/CPilePicture.h"

namespace pw::cli {

namespace {

// Qt wants a runtime folder and, run outside a desktop session (a script, cron, a container), says on
// stderr that XDG_RUNTIME_DIR is not set before it falls back to /tmp/runtime-<user>. The drawing
// verbs take that same folder themselves, quietly: made private to the user if it is missing, and
// left to Qt's own checks when it exists.
void EnsureRuntimeFolder() {
    const char* set = std::getenv("XDG_RUNTIME_DIR");
    if (set && *set) return;
    const passwd* user = getpwuid(geteuid());
    const std::string name = user && user->pw_name ? user->pw_name : std::to_string(geteuid());
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/runtime-" + name;
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return; // Qt will say what is wrong
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

} // namespace

// The CLI has no window: the offscreen platform gives the painter its fonts.
void EnsureGuiApplication() {
    if (QGuiApplication::instance()) return;
    EnsureRuntimeFolder();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pilewave-cli";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends: destroyed among the static destructors it would outlive Qt's own.
    new QGuiApplication(argc, argv);
}

report::CParallelPictures MakePictureSource(const std::vector<CPileRecord>& piles, const std::string& layout) {
    EnsureGuiApplication();
    const PictureLayout kind = layout == "amplitude" ? PictureLayout::Amplitude
                               : layout == "power"   ? PictureLayout::Power
                                                     : PictureLayout::Single;
    // Drawing reads the piles and draws offscreen: the pictures of different piles draw side by side.
    report::CParallelPictures pictures;
    pictures.Source = [&piles, kind](int pileIndex, report::CPicture& out) {
        if (pileIndex < 0 || pileIndex >= static_cast<int>(piles.size())) return false;
        out.m_Png = PilePicturePng(piles[static_cast<std::size_t>(pileIndex)], kind, &out.m_nWidth, &out.m_nHeight);
        return !out.m_Png.empty();
    };
    return pictures;
}

} // namespace pw::cli
