#include "sweep/refresher.h"

#include "app/application.h"
#include "app/form1.h"
#include "settings/form3.h"
#include "sweep/delay.h"

namespace latchsweep {

void refreshDelay(Application& app)
{
    const Form3& settings = app.form3().obtain();
    if (const auto delay = parseDelay(settings.text1()))
        app.form1().Timer2.setInterval(*delay);
}

} // namespace latchsweep
