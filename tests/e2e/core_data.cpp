// Writes, as JSON on standard output, what the end-to-end tests compare the program against, all
// from the core's data: each window's title, client area and controls with their rectangles and
// names for assistive technology ("windows"), each window's title by its name ("captions"), the
// fixed client areas of the help window and the about box, the about box's etched lines, the
// settings windows' confirmations, and the menu trees with the command of every entry.

#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/form1.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "core/tray/form4.h"

namespace latchsweep {
namespace {

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* commandName(Command command)
{
    switch (command) {
    case Command::None:
        return "None";
    case Command::Exit:
        return "Exit";
    case Command::OpenGameDirectory:
        return "OpenGameDirectory";
    case Command::OpenAutoDelete:
        return "OpenAutoDelete";
    case Command::OpenHelp:
        return "OpenHelp";
    case Command::OpenAbout:
        return "OpenAbout";
    case Command::Minimize:
        return "Minimize";
    case Command::ShowMainWindow:
        return "ShowMainWindow";
    }
    return "";
}

const char* kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Frame:
        return "Frame";
    case ControlKind::Button:
        return "Button";
    case ControlKind::Label:
        return "Label";
    case ControlKind::RichText:
        return "RichText";
    case ControlKind::DirectoryList:
        return "DirectoryList";
    case ControlKind::Picture:
        return "Picture";
    case ControlKind::Line:
        return "Line";
    }
    return "";
}

std::string rect(const TwipsRect& r)
{
    return "[" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.width) + ", " +
           std::to_string(r.height) + "]";
}

std::string window(const WindowLayout& layout)
{
    std::string out = "{\"name\": " + quoted(layout.name) + ", \"caption\": " + quoted(layout.caption) +
                      ", \"client\": [" + std::to_string(layout.clientWidth) + ", " +
                      std::to_string(layout.clientHeight) + "], \"controls\": [";
    for (const ControlLayout& control : layout.controls) {
        out += (&control == layout.controls.data() ? "" : ", ");
        out += "{\"name\": " + quoted(control.name) + ", \"kind\": \"" + kindName(control.kind) +
               "\", \"accessibleName\": " + quoted(accessibleName(layout, control)) +
               ", \"labelledBy\": " + quoted(control.labelledBy) + ", \"rect\": " + rect(control.rect) +
               ", \"parent\": " + quoted(control.parent) + "}";
    }
    return out + "]}";
}

std::string menu(std::span<const MenuItem> items)
{
    std::string out = "[";
    for (const MenuItem& item : items) {
        out += (&item == items.data() ? "" : ", ");
        out += "{\"name\": " + quoted(item.name) + ", \"caption\": " + quoted(item.caption) + ", \"command\": \"" +
               commandName(item.command) + "\", \"children\": " + menu(item.children) + "}";
    }
    return out + "]";
}

} // namespace
} // namespace latchsweep

int main()
{
    using namespace latchsweep;
    const WindowLayout* const layouts[] = {&form1Layout(), &form2Layout(),   &form3Layout(),
                                           &form4Layout(), &frmHelpLayout(), &frmAboutLayout()};
    std::string out = "{\"windows\": [";
    for (const WindowLayout* layout : layouts)
        out += (layout == layouts[0] ? "" : ", ") + window(*layout);
    out += "], \"captions\": {";
    for (const WindowLayout* layout : layouts)
        out += (layout == layouts[0] ? "" : ", ") + quoted(layout->name) + ": " + quoted(layout->caption);
    out += "}, \"clientAreas\": {\"frmHelp\": " + rect(fixedClientArea(frmHelpLayout())) +
           ", \"frmAbout\": " + rect(fixedClientArea(frmAboutLayout())) + "}, \"aboutLines\": [";
    const auto lines = frmAboutLayout().lines;
    for (const EtchedLine& line : lines)
        out += std::string(&line == lines.data() ? "" : ", ") + "{\"x1\": " + std::to_string(line.x1) +
               ", \"x2\": " + std::to_string(line.x2) + ", \"y\": " + std::to_string(line.y) +
               ", \"pixels\": " + std::to_string(line.widthPixels) + ", \"rgb\": " + std::to_string(line.rgb) + "}";
    out += "], \"saved\": {\"Form2\": [" + quoted(Form2::kSaved) + ", " + quoted(Form2::kSavedTitle) +
           "], \"Form3\": [" + quoted(Form3::kSaved) + ", " + quoted(Form3::kSavedTitle) + "]";
    out += "}, \"mainMenuBar\": " + menu(mainMenuBar()) + ", \"popupMenu\": " + menu({&form4Menu(), 1}) + "}\n";
    std::fputs(out.c_str(), stdout);
}
