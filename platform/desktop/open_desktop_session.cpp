#include "platform/desktop_session.h"

#if TESUKO_X11
#include "platform/x11/display_target.h"
#include "platform/x11/x11_session.h"
#endif

namespace tesuko {

// Each backend built in is asked in turn; with none reaching the desktop,
// their reasons go to the user together.
OpenedDesktopSession openDesktopSession(SystemLog& systemLog) {
    std::string reasons;
#if TESUKO_X11
    OpenedDesktopSession x11 = X11Session::open(DisplayTarget::fromEnvironment(), systemLog);
    if (x11.session) {
        return x11;
    }
    reasons += x11.error;
#endif
    return {nullptr, reasons};
}

}  // namespace tesuko
