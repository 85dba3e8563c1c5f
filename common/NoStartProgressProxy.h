// The engine's indicator filter: only the "Remapping" task starts and finishes on the target indicator, so a
// dialog's progress bar moves, and can stop the work, during remapping alone. The other tasks' reports still reach
// the target, which keeps its window responsive, but their answers are held back: a stop asked meanwhile stops the
// next remapping at its first report.
#pragma once

#include "cvcode2/CvProgressTask.h"

class NoStartProgressProxy : public CvProgressIndicator {
public:
    explicit NoStartProgressProxy(CvProgressIndicator* target) : target(target) {}
    void Start(CvProgressTask* task) override;
    void Step(CvProgressTask*) override {}
    void Finish(CvProgressTask* task) override;
    bool Update(CvProgressTask* task) override;
    void Error(CvProgressTask* task, CvErrorCode error) override;

private:
    CvProgressIndicator* target;
    bool started = false;
    bool stopAsked = false;
};
