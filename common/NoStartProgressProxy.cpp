// Forwarding rules of the filter: one Start/Finish pair for the remapping task, reports and errors always.
// While no remapping task is running the proxy never asks to stop.
#include "common/NoStartProgressProxy.h"

#include <cstring>

void NoStartProgressProxy::Start(CvProgressTask* task) {
    if (std::strcmp(task->Caption(), "Remapping") != 0) return;
    started = true;
    target->Start(task);
}

void NoStartProgressProxy::Finish(CvProgressTask* task) {
    if (!started) return;
    target->Update(task);
    target->Finish(task);
    started = false;
}

bool NoStartProgressProxy::Update(CvProgressTask* task) {
    if (!started) {
        stopAsked = target->Update(task) || stopAsked;
        return false;
    }
    if (stopAsked) {
        stopAsked = false;
        return true;
    }
    return target->Update(task);
}

void NoStartProgressProxy::Error(CvProgressTask* task, CvErrorCode error) {
    target->Error(task, error);
}
