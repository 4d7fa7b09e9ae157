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

using namespace frm_about;

// The labels are black by design, whatever the desktop's text colour.
constexpr ControlTraits kBlack{.black = true};
constexpr ControlTraits kProductPicture{.picture = IconId::Product};
constexpr Font kTitleFont{"Arial", 14.25, true, false};
constexpr Font kVersionFont{"Arial", 11.25, true, false};
constexpr Font kSmallPrint{"Arial", 8.25, false, true};

constexpr std::array kAboutControls{
    ControlLayout{
        picIcon.name, ControlKind::Picture, {120, 240, 480, 480}, "", {}, {}, 1, lblTitle.name, kProductPicture},
    ControlLayout{lblTitle.name, ControlKind::Label, {720, 240, 4965, 360}, kTitle, {}, kTitleFont, 5, {}, kBlack},
    ControlLayout{lblVersion.name, ControlKind::Label, {720, 600, 3885, 225}, kVersion, {}, kVersionFont, 6},
    ControlLayout{
        lblDescription.name, ControlKind::Label, {720, 1080, 3855, 1170}, kDescription, {}, {}, 3, {}, kBlack},
    ControlLayout{
        lblDisclaimer.name, ControlKind::Label, {120, 2640, 5535, 705}, kDisclaimer, {}, kSmallPrint, 4, {}, kBlack},
    ControlLayout{Label1.name, ControlKind::Label, {120, 3480, 5535, 465}, kFeedback, {}, kSmallPrint, 7, {}, kBlack},
    ControlLayout{cmdOK.name, ControlKind::Button, {120, 3960, 4260, 345}, "OK", {}, {}, 0},
    ControlLayout{cmdSysInfo.name, ControlKind::Button, {4440, 3960, 1245, 345}, "&System Info...", {}, {}, 2},
};

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::array kLines{
    EtchedLine{0, 120, 5669, 2400, 2, kWhite},
    EtchedLine{1, 120, 5684, 2400, 1, kGrey},
    EtchedLine{3, 120, 5669, 3360, 2, kWhite},
    EtchedLine{4, 120, 5684, 3360, 1, kGrey},
};

// cmdOK is the default and the cancel button: Enter and Esc press it.
constexpr WindowLayout kAboutLayout{.name = "frmAbout",
                                    .caption = kCaption,
                                    .clientWidth = 5790,
                                    .clientHeight = 4425,
                                    .controls = kAboutControls,
                                    .keys = {cmdOK.name, cmdOK.name},
                                    .placement = Placement::FixedClient,
                                    .clientLeft = 2340,
                                    .clientTop = 1935,
                                    .frame = WindowFrame::Dialog,
                                    .icon = IconId::InfoSign,
                                    .lines = kLines,
                                    .classicFace = true};

} // namespace

frmAbout::frmAbout(const WindowContext& context)
    : Form(context, kAboutLayout)
{}

void frmAbout::onClick(ControlId button)
{
    if (button == cmdOK)
        close();
    else if (button == cmdSysInfo)
        onSysInfo();
}

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

} // namespace latchsweep
