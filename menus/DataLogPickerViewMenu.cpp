#include "menus/DataLogPickerViewMenu.h"

#include <algorithm>

#include "engine/platform/FileUtils.h"
#include "menus/DataLogFiles.h"
#include "menus/DesktopCommand.h"
#include "model/DiagnosticSink.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr int kInfoLevel = 4;
constexpr int kErrorLevel = 1;

}  // namespace

DataLogPickerViewMenu* DataLogPickerViewMenu::create(const std::string& directory) {
    auto* menu = new (std::nothrow) DataLogPickerViewMenu();
    if (menu && menu->initWithDirectory(directory)) {
        menu->autorelease();
        return menu;
    }
    delete menu;
    return nullptr;
}

DataLogPickerViewMenu::~DataLogPickerViewMenu() {
    // Helpers still running stay unreaped until they end and the program exits; a closed
    // menu has no one to tell about them.
}

bool DataLogPickerViewMenu::initWithDirectory(const std::string& directory) {
    directory_ =
        directory.empty() ? engine::FileUtils::getInstance()->getWritablePath() : directory;
    if (!PickerViewMenu::initWithDataSource(nullptr, nullptr))
        return false;
    rebuildList();
    setDataSource(this);
    return true;
}

void DataLogPickerViewMenu::addActionRows() {
    auto selected = [this] { return !selectedFile().empty(); };
    addRow(MenuRow::buttons("", {{"DELETE", [this] { deletePressed(); }, selected},
                                 {"EMAIL", [this] { emailPressed(); }, selected},
                                 {"FOLDER", [this] { folderPressed(); }, {}}}));
}

void DataLogPickerViewMenu::rebuildList() {
    files_ = DataLogFiles::list(directory_);
    if (dataSource_)
        reloadData();  // clamps the selection into the new list
}

std::string DataLogPickerViewMenu::selectedFile() const {
    const int row = getSelectedRow();
    return row >= 0 && row < static_cast<int>(files_.size()) ? files_[row] : std::string();
}

int DataLogPickerViewMenu::numberOfRowsInPickerView(PickerViewMenu*) {
    return static_cast<int>(files_.size());
}

std::string DataLogPickerViewMenu::pickerViewTitleForRow(PickerViewMenu*, int row) {
    return row >= 0 && row < static_cast<int>(files_.size()) ? files_[row] : std::string();
}

void DataLogPickerViewMenu::report(const std::string& text) {
    if (DiagnosticSink* log = SpectrumSettings::getInstance()->runtime.screenLog.load())
        log->log(kInfoLevel, "%s", text.c_str());
}

// Delete --------------------------------------------------------------------------------------

void DataLogPickerViewMenu::deletePressed() {
    forgetPendingDelete();
    const std::string name = selectedFile();
    if (name.empty())
        return;
    // The confirmation names the file, so the one deleted is the one the user saw.
    confirmation_ = showAlert({"OK", "CANCEL"}, "Delete file",
                              "Are you sure you want to delete this file?", this, name);
    if (confirmation_)
        pendingDelete_ = name;
}

void DataLogPickerViewMenu::forgetPendingDelete() {
    pendingDelete_.clear();
    confirmation_ = nullptr;
}

void DataLogPickerViewMenu::alertViewButtonPressed(AlertViewLayer* alert, int buttonIndex) {
    // Only OK on the confirmation itself, while it is still the alert shown, deletes: an alert
    // that replaced it (a late mail failure) must not answer for it.
    const bool confirmed =
        buttonIndex == 0 && alert != nullptr && alert == confirmation_ && alert == getOpenAlert();
    const std::string name = std::move(pendingDelete_);
    forgetPendingDelete();
    if (!confirmed || name.empty())
        return;
    const int state = SpectrumSettings::getInstance()->runtime.dataLogState.load();
    const bool logOpen = state != SpectrumSettings::kDataLogOff;
    switch (DataLogFiles::remove(directory_, name, logOpen)) {
        case DataLogFiles::DeleteResult::kDeleted:
            report("Deleted " + name);
            break;
        case DataLogFiles::DeleteResult::kInUse:
            report("Stop the data log before deleting " + name);
            break;
        case DataLogFiles::DeleteResult::kNotListed:
            report(name + " is gone already");
            break;
        case DataLogFiles::DeleteResult::kFailed:
            report("Could not delete " + name);
            break;
    }
    rebuildList();
    markForRefresh();
}

// E-mail and folder ---------------------------------------------------------------------------

void DataLogPickerViewMenu::emailPressed() {
    const std::string name = selectedFile();
    if (name.empty())
        return;
    const std::string path = directory_.back() == '/' ? directory_ + name : directory_ + "/" + name;
    if (mailer_ > 0 && DesktopCommand::poll(mailer_) < 0)
        return;  // the composer from the last press is still open
    mailedPath_ = path;
    mailer_ = DesktopCommand::start({"xdg-email", "--subject", "Tarno Data Log", "--attach", path});
    if (mailer_ < 0) {
        showMailFailure(path);
        return;
    }
    // Its exit status arrives later; the window keeps running meanwhile.
    scheduleUpdate();
}

void DataLogPickerViewMenu::update(float dt) {
    PickerViewMenu::update(dt);
    if (opener_ > 0 && DesktopCommand::poll(opener_) >= 0)
        opener_ = -1;
    if (mailer_ > 0) {
        const int status = DesktopCommand::poll(mailer_);
        if (status >= 0) {
            mailer_ = -1;
            if (status != 0)
                showMailFailure(mailedPath_);
        }
    }
    if (mailer_ <= 0 && opener_ <= 0)
        unscheduleUpdate();
}

void DataLogPickerViewMenu::showMailFailure(const std::string& path) {
    // This alert takes the place of an open delete confirmation, and its file with it. Its OK
    // only dismisses it.
    forgetPendingDelete();
    showAlert({"OK"}, "Cannot send email", "Please setup Mail to send and receive email.", nullptr,
              path);
    report("Mail not sent; the file is " + path);
}

void DataLogPickerViewMenu::onExit() {
    // The menu's alert goes with it; so does what its confirmation was about.
    forgetPendingDelete();
    PickerViewMenu::onExit();
}

void DataLogPickerViewMenu::folderPressed() {
    if (opener_ > 0)
        return;
    opener_ = DesktopCommand::start({"xdg-open", directory_});
    if (opener_ < 0) {
        report("Could not open " + directory_);
        return;
    }
    report("Data folder: " + directory_);
    scheduleUpdate();
}
