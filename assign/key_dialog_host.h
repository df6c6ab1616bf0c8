// What the key dialog needs of the window that owns the configuration: the edit copy, read and changed under
// lock A, and the profile whose block it edits. The main window implements it; StoreDialogHost serves a
// dialog run on a bare ConfigStore (tools, tests).
#pragma once

#include <functional>
#include <mutex>
#include <string_view>

#include "config/config_store.h"

namespace vornak {

class KeyDialogHost {
  public:
    virtual ~KeyDialogHost() = default;

    // The profile (0..2) whose entries the dialog reads and writes.
    virtual int currentProfile() const = 0;
    // Runs read with the edit copy under lock A.
    virtual void ReadEditCopy(const std::function<void(const EditCopy&)>& read) = 0;
    // The one road by which the dialog changes the configuration: runs edit with the edit copy under lock A
    // (edit returns whether it changed anything), then, when it did, marks the configuration modified (the
    // main window's Apply); the key buttons show their assignments again. what names the edit for whoever
    // records it. False, with nothing run, when the edit copy cannot be changed now (a download holds it).
    virtual bool EditConfig(std::string_view what, const std::function<bool(EditCopy&)>& edit) = 0;
};

class StoreDialogHost : public KeyDialogHost {
  public:
    explicit StoreDialogHost(ConfigStore& store, int profile = 0) : store_(store), profile_(profile) {}

    int currentProfile() const override { return profile_; }
    void setCurrentProfile(int profile) { profile_ = profile; }
    void ReadEditCopy(const std::function<void(const EditCopy&)>& read) override {
        std::lock_guard lock(store_.lockA());
        read(store_.edit());
    }
    bool EditConfig(std::string_view, const std::function<bool(EditCopy&)>& edit) override {
        bool changed;
        {
            std::lock_guard lock(store_.lockA());
            changed = edit(store_.edit());
        }
        if (changed) modified_ = true;
        if (refresh_) refresh_();
        return true;
    }

    bool modified() const { return modified_; }
    void clearModified() { modified_ = false; }
    // Called after every edit, to show the key buttons again.
    void setRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }

  private:
    ConfigStore& store_;
    int profile_;
    bool modified_ = false;
    std::function<void()> refresh_;
};

}  // namespace vornak
