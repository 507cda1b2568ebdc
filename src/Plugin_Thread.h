// The plug-in's worker thread: it owns the configuration stores, building them when it starts
// and tearing them down when its loop ends, and on request obtains the session record of the
// worker (Init, Shutdown).
#pragma once

#include "_Common/CoreCode/Orb_Thread.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <FMWrapper/FMXClient.h>

class PluginThread : public OrbThread {
public:
    enum Action : int32_t { kActionInit = 1, kActionShutdown = 2 };

    void threadMain() override;
    virtual void setThreadAction(int32_t action) { mThreadAction = action; }
    virtual int32_t threadAction() const { return mThreadAction; }
    virtual ucstring& mutableActionError() { return mActionError; }
    virtual const ucstring& actionError() const { return mActionError; }
    virtual void setFMAPIVersion(fmx::int16 version) { mFMAPIVersion = version; }
    virtual fmx::int16 fmAPIVersion() const { return mFMAPIVersion; }
    virtual void setFMProduct(fmx::uint8 product) { mFMProduct = product; }
    virtual fmx::uint8 fmProduct() const { return mFMProduct; }
    virtual ucstring& mutableFMVersionStr() { return mFMVersionStr; }
    virtual const ucstring& fmVersionStr() const { return mFMVersionStr; }

private:
    std::atomic<int32_t> mThreadAction{0};
    ucstring mActionError;
    fmx::int16 mFMAPIVersion = 0;
    fmx::uint8 mFMProduct = 0;
    ucstring mFMVersionStr;
};

void startupPluginThread(fmx::int16 version, fmx::uint8 applicationType, const ucstring& versionText);
[[nodiscard]] ucstring runPluginThread(int32_t action);
void shutdownPluginThread();
// True while the worker thread exists (for tests and shut-down checks).
bool pluginThreadRunning();
