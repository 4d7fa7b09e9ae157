#pragma once

namespace latchsweep {

class Application;

// One tick of the delay refresher: the text of Form3's delay box (Form3 brought into being
// hidden when absent) becomes Timer2's period; a refused value leaves the period alone.
void refreshDelay(Application& app);

} // namespace latchsweep
