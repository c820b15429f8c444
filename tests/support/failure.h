#pragma once
// The message of the program's error a job raises, or "(no error)" when it ends well.
#include "platform/exception.h"

#include <QString>

template <typename Job> QString FailureOf(Job job) {
    try {
        job();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no error)";
}
