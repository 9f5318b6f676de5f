#include "menus/SpectrumMeasureMenu.h"

#include "engine/2d/Scene.h"
#include "instrument/Instrument.h"
#include "menus/AccessPointTables.h"
#include "menus/MenuSliderScales.h"
#include "menus/PickerViewMenu.h"
#include "model/ChannelPlans.h"
#include "model/SpectrumSettings.h"

namespace {

// Plans whose span starts below this lie in the 2.4 GHz band.
constexpr int32_t kBandSplitKHz = 4000000;

SpectrumSettings& model() {
    return *SpectrumSettings::getInstance();
}

// The trace kind a real-wave peak row stands for: its slot's kind, or 0 when an earlier slot
// already shows that kind (its markers are set there).
int rowKind(const SpectrumViewSettings& view, int row) {
    const int kind = view.traceModes[row];
    for (int earlier = 0; earlier < row; ++earlier) {
        if (view.traceModes[earlier] == kind)
            return 0;
    }
    return kind;
}

bool peakKind(int kind) {
    return kind >= SpectrumSettings::kTraceRaw && kind <= SpectrumSettings::kTraceMinHold;
}

ValueTablePickerSource onTopTable() {
    std::vector<ValueTablePickerSource::Entry> entries;
    for (int kind = SpectrumSettings::kTraceNone; kind <= SpectrumSettings::kTraceMinHold; ++kind)
        entries.push_back({static_cast<double>(kind), SpectrumSettings::traceModeLabel(kind)});
    return ValueTablePickerSource(std::move(entries));
}

}  // namespace

SpectrumMeasureMenu::SpectrumMeasureMenu()
    : onTopKinds_(onTopTable()), guide24_(guideStandards(0)), guide5_(guideStandards(1)) {}

SpectrumMeasureMenu* SpectrumMeasureMenu::create() {
    auto* menu = new (std::nothrow) SpectrumMeasureMenu();
    if (menu && menu->init()) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

SpectrumMeasureMenu::~SpectrumMeasureMenu() {
    dropPicker();
}

uint8_t* SpectrumMeasureMenu::peakCountOfRow(SpectrumViewSettings& view, int row) {
    if (row < 0 || row > 2)
        return nullptr;
    if (view.viewMode == SpectrumViewSettings::kWaterfallView)
        return row < 2 ? &view.waterfallPeakCounts[row] : nullptr;
    const int kind = rowKind(view, row);
    return peakKind(kind) ? &view.peakCounts[kind - 1] : nullptr;
}

std::string SpectrumMeasureMenu::peakRowCaption(const SpectrumViewSettings& view, int row) {
    if (view.viewMode == SpectrumViewSettings::kWaterfallView) {
        static const char* const waterfall[3] = {
            "PEAKS \n(HORZ):", "PEAKS \n(VERT):", "PEAKS \n(NONE):"};
        return row >= 0 && row <= 2 ? waterfall[row] : waterfall[2];
    }
    static const char* const kinds[6] = {"PEAKS \n(NONE):", "PEAKS \n(RAW):", "PEAKS \n(DECAY):",
                                         "PEAKS \n(AVG.):", "PEAKS \n(MAX):", "PEAKS \n(MIN):"};
    const int kind = row >= 0 && row <= 2 ? rowKind(view, row) : 0;
    return kinds[peakKind(kind) ? kind : 0];
}

ValueTablePickerSource SpectrumMeasureMenu::guideStandards(int band) {
    std::vector<ValueTablePickerSource::Entry> entries;
    entries.push_back({0.0, SpectrumSettings::channelGuideLabel(0)});
    for (int plan = 1; plan < ChannelPlans::kPlanCount; ++plan) {
        const bool plan24 = ChannelPlans::planSpan(plan).low < kBandSplitKHz;
        if (plan24 == (band == 0))
            entries.push_back(
                {static_cast<double>(plan), SpectrumSettings::channelGuideLabel(plan)});
    }
    return ValueTablePickerSource(std::move(entries));
}

bool SpectrumMeasureMenu::init() {
    if (!MenuLayer::init())
        return false;
    SpectrumViewSettings& view = model().spectrum_settings;
    addRow(MenuRow::picker(
        "PEAKS \n(ON TOP): ",
        [&view] { return std::string(SpectrumSettings::traceModeLabel(view.peaksOnTop)); },
        [this] { openPicker(kOnTopPicker); }));
    for (int row = 0; row < 3; ++row) {
        addRow(MenuRow::slider(
                   "",
                   [&view, row] {
                       const uint8_t* count = peakCountOfRow(view, row);
                       return MenuSliderScales::percentForPeakCount(count ? *count : 0);
                   },
                   [this, &view, row](float percent) {
                       if (uint8_t* count = peakCountOfRow(view, row))
                           instrument().set(SettingChange::kDisplay, *count,
                                            static_cast<uint8_t>(
                                                MenuSliderScales::peakCountForPercent(percent)));
                   },
                   [&view, row] {
                       const uint8_t* count = peakCountOfRow(view, row);
                       return std::to_string(count ? *count : 0);
                   })
                   .captionFrom([&view, row] { return peakRowCaption(view, row); })
                   .enabledWhen([&view, row] { return peakCountOfRow(view, row) != nullptr; }));
    }
    addRow(MenuRow::picker(
        "2.4 GHz \nGUIDE: ",
        [&view] { return std::string(SpectrumSettings::channelGuideLabel(view.channelGuide24)); },
        [this] { openPicker(kGuide24Picker); }));
    addRow(MenuRow::picker(
        "5 GHz \nGUIDE: ",
        [&view] { return std::string(SpectrumSettings::channelGuideLabel(view.channelGuide5)); },
        [this] { openPicker(kGuide5Picker); }));
    addRow(MenuRow::button("PEAK \nTABLE: ", "SHOW / HIDE", [this] {
        MenuHost* host = getHost();
        auto* scene = host ? dynamic_cast<AccessPointTables*>(host->getScene()) : nullptr;
        if (!scene)
            return;
        const bool showing = !scene->isPeakTableShown();
        scene->togglePeakTable();
        // The table lies under the dimmed menus: they go so it can be seen.
        if (showing)
            host->closeAll(true);
    }));
    return true;
}

void SpectrumMeasureMenu::dropPicker() {
    if (!picker_)
        return;
    // The picker may outlive this menu for a frame (it fades out later): it must not call back.
    picker_->setDelegate(nullptr);
    picker_->setDataSource(nullptr);
    picker_->release();
    picker_ = nullptr;
}

PickerViewMenu* SpectrumMeasureMenu::openPicker(int picker) {
    const SpectrumViewSettings& view = model().spectrum_settings;
    ValueTablePickerSource* source = nullptr;
    double current = 0;
    switch (picker) {
        case kOnTopPicker:
            source = &onTopKinds_;
            current = view.peaksOnTop;
            break;
        case kGuide24Picker:
            source = &guide24_;
            current = view.channelGuide24;
            break;
        case kGuide5Picker:
            source = &guide5_;
            current = view.channelGuide5;
            break;
        default:
            return nullptr;
    }
    dropPicker();
    pickerKind_ = picker;
    PickerViewMenu* menu = PickerViewMenu::create(source, this);
    if (!menu)
        return nullptr;
    picker_ = menu;
    picker_->retain();
    // A stored value the wheel does not offer preselects its first row.
    menu->selectRow(source->rowForValue(current));
    if (getHost())
        getHost()->showMenu(menu, engine::Rect());
    markForRefresh();
    return menu;
}

void SpectrumMeasureMenu::pickerViewDidChooseRow(PickerViewMenu*, int row) {
    SpectrumViewSettings& view = model().spectrum_settings;
    switch (pickerKind_) {
        case kOnTopPicker:
            instrument().set(SettingChange::kDisplay, view.peaksOnTop,
                             static_cast<uint8_t>(onTopKinds_.valueForRow(row)));
            break;
        case kGuide24Picker:
            instrument().set(SettingChange::kDisplay, view.channelGuide24,
                             static_cast<int32_t>(guide24_.valueForRow(row)));
            break;
        case kGuide5Picker:
            instrument().set(SettingChange::kDisplay, view.channelGuide5,
                             static_cast<int32_t>(guide5_.valueForRow(row)));
            break;
        default:
            break;
    }
    pickerKind_ = kNoPicker;
    markForRefresh();
}

void SpectrumMeasureMenu::pickerViewDidCancel(PickerViewMenu*) {
    pickerKind_ = kNoPicker;
    markForRefresh();
}
