#include "tests/support/tray_port_contract.h"

#include "core/tray/module1.h"

namespace latchsweep {

std::vector<std::string> trayPortContractViolations(TrayPort& port, WindowHandle first, WindowHandle second,
                                                    IconHandle icon)
{
    constexpr std::int32_t kId = 4242;
    const struct {
        std::uint32_t message;
        bool secondWindow;
        std::int32_t id;
        bool accepted;
    } steps[] = {
        {kNimModify, false, kId, false},     {kNimDelete, false, kId, false},     {kNimAdd, false, kId, true},
        {kNimAdd, false, kId, false},        {kNimAdd, false, kId + 1, true},     {kNimAdd, true, kId, true},
        {kNimModify, false, kId, true},      {kNimModify, false, kId + 2, false}, {kNimDelete, false, kId + 1, true},
        {kNimDelete, false, kId + 1, false}, {kNimModify, false, kId + 1, false}, {kNimDelete, true, kId, true},
        {kNimDelete, false, kId, true},      {kNimDelete, false, kId, false},     {kNimModify, true, kId, false},
    };
    static constexpr const char* kNames[] = {"add", "modify", "delete"};
    std::vector<std::string> violations;
    for (const auto& step : steps) {
        const WindowHandle window = step.secondWindow ? second : first;
        if (port.notify(step.message, iconRecord(window, step.id, icon, "Latchsweep")) == step.accepted)
            continue;
        violations.push_back("step " + std::to_string(&step - steps + 1) + ": " + kNames[step.message] + " of (" +
                             (step.secondWindow ? "second" : "first") + " window, " + std::to_string(step.id) + ") " +
                             (step.accepted ? "refused" : "accepted"));
    }
    return violations;
}

} // namespace latchsweep
