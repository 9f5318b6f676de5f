#pragma once

#include <cstdint>

class SpectrumSettings;

// The controller's utilization-grading hook: pass an instance to
// AccessoryCommunicationDelegate::setUtilizationGrading. The model's owner calls it after every
// 2.4 GHz sweep and after every merged scan. The hook frees the selection slots of access
// points that left the list, and grades; a call that follows a merge (the scan count moved) forces
// the grading, the others let the counter decide.
class UtilizationGradingHook {
  public:
    void operator()(SpectrumSettings& model);

  private:
    int32_t lastScanCount_ = 0;
};
