#include "platform/guard.h"

#include "platform/exception.h"
#include "platform/fullstop.h"
#include "platform/messageboxes.h"

bool Guarded(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const Exception& e) {
        Boxes().Error(WithFullStop(e.Message()));
    } catch (const std::exception& e) {
        Boxes().Error(WithFullStop(QString::fromUtf8(e.what())));
    }
    return false;
}
