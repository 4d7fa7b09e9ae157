#include "core/sweep/refresher.h"

#include "core/app/application.h"
#include "core/app/form1.h"
#include "core/settings/form3.h"
#include "core/sweep/delay.h"

namespace latchsweep {

void refreshDelay(Application& app)
{
    const Form3& settings = app.form3().obtain();
    if (const auto delay = parseDelay(settings.text1()))
        app.form1().Timer2.setInterval(*delay);
}

} // namespace latchsweep
