#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "protocol/AccessPointMerger.h"

class SpectrumSettings;

// The access-point lists as they arrive: each scan is merged into the model's list, the list is
// kept to its size, and the utilization grading runs, so the tables and outlines only read the
// result. The grading also follows the 2.4 GHz sweeps it is measured from.
class AccessPointAcquisition {
  public:
    // Access points kept; the least recently seen beyond this go. Ageing only happens while a
    // table is shown, so a stream of ever-new addresses would otherwise grow the list forever.
    static constexpr size_t kMaxAccessPoints = 512;

    // Installed by whoever shows or prints grades (AccessoryCommunicationDelegate::
    // setUtilizationGrading). While none is installed lists are merged all the same and nothing
    // is graded.
    using UtilizationGrading = std::function<void(SpectrumSettings& model)>;

    // Folds one scan in (left empty), stamped `now` on the controller's clock.
    void addScan(SpectrumSettings& model, AccessPointList& scan, uint64_t now);

    // Grades again after a 2.4 GHz sweep.
    void sweepArrived(SpectrumSettings& model) { grade(model); }

    void setUtilizationGrading(UtilizationGrading grade) { grading_ = std::move(grade); }

  private:
    void grade(SpectrumSettings& model);
    static void trim(SpectrumSettings& model);

    AccessPointMerger merger_;
    UtilizationGrading grading_;
};
