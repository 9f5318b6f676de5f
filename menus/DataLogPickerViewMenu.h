#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "menus/AlertViewDelegate.h"
#include "menus/PickerViewDataSource.h"
#include "menus/PickerViewMenu.h"

// The data-log manager opened by MANAGE FILES: the logs and screenshots in the data directory on
// a wheel, newest first, with DELETE (after a confirmation naming the file), EMAIL (the desktop's
// mail composer with the file attached) and FOLDER (the directory in the file manager).
class DataLogPickerViewMenu : public PickerViewMenu,
                              public PickerViewDataSource,
                              public AlertViewDelegate {
  public:
    // The engine's writable directory unless another is given.
    static DataLogPickerViewMenu* create(const std::string& directory = "");
    bool initWithDirectory(const std::string& directory);
    ~DataLogPickerViewMenu() override;

    // Lists the directory again; the selection stays in range.
    void rebuildList();
    const std::vector<std::string>& getFiles() const { return files_; }
    const std::string& getDirectory() const { return directory_; }
    std::string selectedFile() const;

    // The wheel only selects the file the buttons act on.
    void choose() override {}

    void deletePressed();
    void emailPressed();
    void folderPressed();
    // The file the open confirmation names; empty when no confirmation is open.
    const std::string& getPendingDelete() const { return pendingDelete_; }
    // A helper started from here has not ended yet.
    bool isHelperRunning() const { return mailer_ > 0 || opener_ > 0; }
    // The mail program of the last EMAIL while it runs (DesktopCommand::awaitExit), else -1.
    pid_t getMailer() const { return mailer_; }

    int numberOfRowsInPickerView(PickerViewMenu*) override;
    std::string pickerViewTitleForRow(PickerViewMenu*, int row) override;
    void alertViewButtonPressed(AlertViewLayer* alert, int buttonIndex) override;

    void update(float dt) override;
    void onExit() override;

  protected:
    DataLogPickerViewMenu() = default;
    void addActionRows() override;

  private:
    void report(const std::string& text);
    void showMailFailure(const std::string& path);
    void forgetPendingDelete();

    std::string directory_;
    std::vector<std::string> files_;
    // The file an open delete confirmation names, and that confirmation (shown by MenuLayer,
    // which retains it while it is open). Any other alert, or the menu closing, forgets both.
    std::string pendingDelete_;
    AlertViewLayer* confirmation_ = nullptr;
    pid_t mailer_ = -1;
    pid_t opener_ = -1;
    std::string mailedPath_;
};
