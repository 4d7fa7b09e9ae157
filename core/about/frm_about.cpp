#include "core/about/frm_about.h"

#include <array>

#include "core/about/sysinfo.h"
#include "core/base/product.h"

namespace latchsweep {
namespace {

// The box names the product in capitals and its version as major.minor, both from the version
// record, so that a new name or version needs no change here.
template <std::size_t N>
constexpr std::array<char, N> inCapitals(const char (&name)[N])
{
    std::array<char, N> capitals{};
    for (std::size_t i = 0; i < N; ++i)
        capitals[i] = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
    return capitals;
}
constexpr auto kCapitalName = inCapitals(LATCHSWEEP_PRODUCT_NAME);
constexpr std::string_view kTitle{kCapitalName.data(), kCapitalName.size() - 1};
constexpr std::string_view kVersion =
    "Version " LATCHSWEEP_STRINGIZE(LATCHSWEEP_VERSION_MAJOR) "." LATCHSWEEP_STRINGIZE(LATCHSWEEP_VERSION_MINOR);
constexpr std::string_view kCaption = "About " LATCHSWEEP_PRODUCT_NAME;

constexpr std::string_view kDescription =
    "Latchsweep - a tray sweeper for the Midtown Madness 2 lock file\n"
    "Report problems on the project's issue tracker";
constexpr std::string_view kDisclaimer =
    "Warning: By Using This Program We Will Have No Responsibilty of Anything That Went/Will Go Wrong on Your "
    "Computer. (EX: Data Loss, Crashes, Viruses, Errors, etc.)";
constexpr std::string_view kFeedback =
    "If You Have Any Comments/Suggestions/Complaints/Questions/Errors or Find Any "
    "Bugs, Please Contact Me A.S.A.P. Thank You";

constexpr std::array kAboutControls{
    ControlLayout{"picIcon", ControlKind::Picture, {120, 240, 480, 480}, "", {}, {}, 1, "lblTitle"},
    ControlLayout{"lblTitle", ControlKind::Label, {720, 240, 4965, 360}, kTitle, {}, {"Arial", 14.25, true, false}, 5},
    ControlLayout{
        "lblVersion", ControlKind::Label, {720, 600, 3885, 225}, kVersion, {}, {"Arial", 11.25, true, false}, 6},
    ControlLayout{"lblDescription", ControlKind::Label, {720, 1080, 3855, 1170}, kDescription, {}, {}, 3},
    ControlLayout{
        "lblDisclaimer", ControlKind::Label, {120, 2640, 5535, 705}, kDisclaimer, {}, {"Arial", 8.25, false, true}, 4},
    ControlLayout{"Label1", ControlKind::Label, {120, 3480, 5535, 465}, kFeedback, {}, {"Arial", 8.25, false, true}, 7},
    ControlLayout{"cmdOK", ControlKind::Button, {120, 3960, 4260, 345}, "OK", {}, {}, 0},
    ControlLayout{"cmdSysInfo", ControlKind::Button, {4440, 3960, 1245, 345}, "&System Info...", {}, {}, 2},
};
// cmdOK is the default and the cancel button: Enter and Esc press it.
constexpr WindowLayout kAboutLayout{
    "frmAbout", kCaption, 5790, 4425, kAboutControls, {"cmdOK", "cmdOK"}, Placement::FixedClient, 2340, 1935};

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::array kLines{
    EtchedLine{0, 120, 5669, 2400, 2, kWhite},
    EtchedLine{1, 120, 5684, 2400, 1, kGrey},
    EtchedLine{3, 120, 5669, 3360, 2, kWhite},
    EtchedLine{4, 120, 5684, 3360, 1, kGrey},
};

constexpr std::array<std::string_view, 4> kBlackLabels{"lblTitle", "lblDescription", "lblDisclaimer", "Label1"};

} // namespace

frmAbout::frmAbout(const WindowContext& context, const MakeView& makeView)
    : WindowPresenter(context, makeView, *this)
{}

void frmAbout::load() {}

void frmAbout::onOK() { close(); }

void frmAbout::onCloseRequest() { onOK(); }

void frmAbout::onSysInfo()
{
    if (context_.ended())
        return;
    Platform& platform = context_.platform();
    try {
        StartSysInfo(platform.registry, platform.files, platform.launcher, platform.messages, view_.get());
    } catch (...) {
        // Nothing that goes wrong in the lookup or its message may end the program.
    }
}

const WindowLayout& frmAboutLayout() { return kAboutLayout; }

std::span<const EtchedLine> frmAboutLines() { return kLines; }

std::span<const std::string_view> frmAboutBlackLabels() { return kBlackLabels; }

std::span<const ButtonCommand<frmAbout>> frmAbout::buttons()
{
    static constexpr ButtonCommand<frmAbout> kButtons[] = {{"cmdOK", &frmAbout::onOK},
                                                           {"cmdSysInfo", &frmAbout::onSysInfo}};
    return kButtons;
}

} // namespace latchsweep
