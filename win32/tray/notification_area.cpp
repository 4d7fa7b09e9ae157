#include "win32/tray/notification_area.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/tray/callback.h"
#include "core/tray/module1.h"
#include "win32/app/handles.h"

namespace latchsweep::win32 {

// The core names the shell's numbers itself, so that it needs no Windows header; they are the
// shell's own. The record goes to Shell_NotifyIconA as it is, and the callback's codes arrive as
// the window's mouse messages.
static_assert(kNimAdd == static_cast<std::uint32_t>(NIM_ADD) && kNimModify == static_cast<std::uint32_t>(NIM_MODIFY) &&
                  kNimDelete == static_cast<std::uint32_t>(NIM_DELETE),
              "the core's tray operations are NIM_ADD, NIM_MODIFY and NIM_DELETE");
static_assert(kNifMessage == static_cast<std::uint32_t>(NIF_MESSAGE) &&
                  kNifIcon == static_cast<std::uint32_t>(NIF_ICON) && kNifTip == static_cast<std::uint32_t>(NIF_TIP),
              "the record's flag bits are the shell's");
static_assert(Module1::kCallbackMessage == static_cast<std::uint32_t>(WM_MOUSEMOVE) && kMouseMove == WM_MOUSEMOVE,
              "the icon reports to its window as WM_MOUSEMOVE");
static_assert(kLeftButtonDown == WM_LBUTTONDOWN && kLeftButtonUp == WM_LBUTTONUP &&
                  kLeftButtonDoubleClick == WM_LBUTTONDBLCLK && kRightButtonDown == WM_RBUTTONDOWN &&
                  kRightButtonUp == WM_RBUTTONUP && kMiddleButtonDown == WM_MBUTTONDOWN,
              "the callback's codes are the mouse messages");
static_assert(NOTIFYICONDATAA_V1_SIZE == offsetof(NOTIFYICONDATAA, szTip) + sizeof(NotifyIconData::szTip),
              "the first form ends with the record's 64-byte tip");

#if defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 104, "first-form NOTIFYICONDATAA on 64-bit Windows");
#else
// The program's record is NOTIFYICONDATAA in its first form on the 32-bit platform, field for
// field: it goes to the shell byte for byte.
static_assert(NOTIFYICONDATAA_V1_SIZE == Module1::kRecordSize, "first-form NOTIFYICONDATAA is 88 bytes");
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == 4 && offsetof(NOTIFYICONDATAA, uID) == 8 &&
                  offsetof(NOTIFYICONDATAA, uFlags) == 12 && offsetof(NOTIFYICONDATAA, uCallbackMessage) == 16 &&
                  offsetof(NOTIFYICONDATAA, hIcon) == 20 && offsetof(NOTIFYICONDATAA, szTip) == 24,
              "the record's fields at the offsets the core serialises them to");
#endif

NOTIFYICONDATAA toNative(const NotifyIconData& record)
{
    NOTIFYICONDATAA native{};
#if defined(_WIN64)
    // Only the record's size field differs in meaning: it names the first form, whose size
    // here is the native one.
    native.cbSize = record.cbSize == Module1::kRecordSize ? NOTIFYICONDATAA_V1_SIZE : record.cbSize;
    native.hWnd = fromHandle32<HWND>(record.hWnd);
    native.uID = static_cast<UINT>(record.uID);
    native.uFlags = record.uFlags;
    native.uCallbackMessage = record.uCallbackMessage;
    native.hIcon = fromHandle32<HICON>(record.hIcon);
    std::memcpy(native.szTip, record.szTip.data(), record.szTip.size());
#else
    const auto bytes = serialize(record);
    std::memcpy(&native, bytes.data(), bytes.size());
#endif
    return native;
}

bool Win32TrayPort::notify(std::uint32_t message, const NotifyIconData& record)
{
    NOTIFYICONDATAA native = toNative(record);
    return Shell_NotifyIconA(message, &native) != FALSE;
}

} // namespace latchsweep::win32
