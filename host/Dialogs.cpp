// The plug-in's windows, opened for the host's requests.
#include "host/Dialogs.h"

#include "engine/Player.h"

#include "engine/SongSession.h"
#include "host/EntryLock.h"
#include "host/ModuleCache.h"
#include "host/PlaybackState.h"
#include "host/PluginRecord.h"
#include "settings/SettingsConversion.h"
#include "settings/SettingsFile.h"
#include "ui/config/AboutDialog.h"
#include "ui/config/ConfigDialog.h"
#include "ui/info/InfoDialog.h"

#include <commctrl.h>
#include <cstring>

namespace tolva::host {

namespace {
// The window classes of the trackbar, spin, list and tab controls.
void registerCommonControls() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES;
    InitCommonControlsEx(&classes);
}

class HostSettings final : public SettingsOwner {
public:
    const Settings& liveSettings() const override { return state.settings; }

    void applySettings(const Settings& settings) override {
        EntryLock lock; // the current module and its thread stay as they are meanwhile
        state.settings = settings;
        state.liveOptions.publish(loadOptions(settings).song);
        // A playing song takes its amplification on its own thread, from the options.
        if (!state.playThread && state.currentModule && state.currentModule->session)
            setAmplification(*state.currentModule, state.settings.amp);
        if (!state.settingsPath.empty())
            saveSettings(state.settingsPath.text, state.settings);
    }
};

// The information dialog's module: the cache's information module, which a full load of the
// same file replaces.
class InfoModule final : public ui::ShownModule {
public:
    Player* player() const override {
        return module_ && module_->session ? &module_->session->player() : nullptr;
    }
    const char* fileName() const override { return module_->fileName; }
    uint32_t fileSize() const override { return module_->fileSize; }
    bool infoOnly() const override { return module_ && module_->infoOnly; }

    bool takePlayingModule() override {
        const ModuleRef& playing = state.currentModule;
        if (!playing || !module_ || playing.get() == module_.get() ||
            std::strcmp(playing->fileName, module_->fileName) != 0 || !module_->infoOnly ||
            playing->infoOnly || !playing->session)
            return false;
        module_ = playing;
        return true;
    }

    bool loadSampleData() override {
        char file[MaxFileNameLength + 1];
        std::memcpy(file, module_->fileName, sizeof file);
        ModuleRef full = acquireModule(file, false);
        if (!full || !full->session)
            return false;
        module_ = full;
        return true;
    }

    void setDialog(HWND dialog) override { state.infoDialog = dialog; }

private:
    ModuleRef& module_ = state.infoModule;
};
} // namespace

void showConfiguration(HWND parent) {
    registerCommonControls();
    HostSettings owner;
    runConfigDialog(parent, libraryInstance, owner);
}

void showAbout(HWND parent) {
    registerCommonControls();
    runAboutDialog(parent, libraryInstance);
}

void showModuleInformation(HWND parent) {
    registerCommonControls();
    InfoModule shown;
    ui::runInfoDialog(parent, libraryInstance, shown);
}

} // namespace tolva::host
