// The plug-in's entry point as the host sees it: the version and application gates, the strings it
// answers, idle, and the forwarders of newer host functions.
#include "PluginFixture.h"

#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

using testing_support::loadPlugin;
using testing_support::u8;

namespace {

int64_t initWith(int16_t api, uint8_t app) {
    fmhost::HostSettings s;
    s.apiVersion = api;
    s.appType = app;
    auto host = loadPlugin(s);
    const int64_t result = host->init();
    host->unload();
    return result;
}

}  // namespace

TEST(EntryPoint, ExtensionVersionGate) {
    EXPECT_EQ(initWith(49, 1), -1);
    EXPECT_EQ(initWith(256, 1), -1);
    EXPECT_EQ(initWith(50, 1), 57);
    EXPECT_EQ(initWith(255, 1), 57);
}

TEST(EntryPoint, ApplicationGate) {
    EXPECT_EQ(initWith(57, 0), 57);
    EXPECT_EQ(initWith(57, 1), 57);
    EXPECT_EQ(initWith(57, 2), 57);
    EXPECT_EQ(initWith(57, 3), -2);
}

TEST(EntryPoint, StringsAnswered) {
    auto host = loadPlugin();
    ASSERT_EQ(host->init(), 57);
    EXPECT_EQ(u8(host->getString(128)), "Volan Pro");
    EXPECT_EQ(u8(host->getString(129)), "Volan Pro 3.0.1 (Orb Core Version 5.5.1) - An FTP Plug-in for FileMaker Pro.");
    EXPECT_EQ(u8(host->getString(131)), "Orb31YnYYYn");
    const std::string help = u8(host->getString(132));
    EXPECT_EQ(help.rfind("https://", 0), 0u);
    EXPECT_NE(help.find("/reference/?product=Volan_Pro&id="), std::string::npos);
    EXPECT_EQ(help.substr(help.size() - 4), "&id=");
    EXPECT_EQ(u8(host->getString(130)), "");  // unknown id: nothing written
    host->unload();
}

TEST(EntryPoint, OptionsStringFollowsExtensionVersion) {
    for (int16_t api : {55, 56, 57}) {
        fmhost::HostSettings s;
        s.apiVersion = api;
        auto host = loadPlugin(s);
        ASSERT_EQ(host->init(), 57);
        EXPECT_EQ(u8(host->getString(131)), api >= 56 ? "Orb31YnYYYn" : "Orb31YnYYnn") << "api " << api;
        host->unload();
    }
}

TEST(EntryPoint, StringsAreCutToTheBuffer) {
    auto host = loadPlugin();
    ASSERT_EQ(host->init(), 57);
    EXPECT_EQ(u8(host->getString(128, 5)), "Volan");
    EXPECT_EQ(u8(host->getString(131, 4)), "Orb3");
    EXPECT_EQ(u8(host->getString(128, 0)), "");
    host->unload();
}

TEST(EntryPoint, UnsafeIdleDoesNothing) {
    auto host = loadPlugin();
    ASSERT_EQ(host->init(), 57);
    fmhost::HostState& state = fmhost::HostState::get();
    const uint64_t before = state.currentEnvCalls;
    host->idle(4, 1);
    EXPECT_EQ(state.currentEnvCalls, before);
    host->idle(0, 1);  // a safe pass asks for the current environment
    EXPECT_EQ(state.currentEnvCalls, before + 1);
    host->unload();
}

TEST(EntryPoint, ForwardersFallBackOnAnOldHost) {
    fmhost::HostSettings s;
    s.apiVersion = 54;  // before version 14: no optional function is looked up
    s.versionText = u"Pro 13.0v9";
    auto host = loadPlugin(s);
    ASSERT_EQ(host->init(), 57);
    using SessionFn = fmx::ptrtype (*)(const fmx::ExprEnv*, fmx::_fmxcpt&);
    using AddFinishFn = fmx::errcode (*)(fmx::BinaryData*, fmx::uint32, fmx::_fmxcpt&);
    using RegisterStepFn = fmx::errcode (*)(const fmx::QuadChar&, fmx::int16, const fmx::Text&, const fmx::Text&,
                                            const fmx::Text&, fmx::uint32, fmx::ExtPluginType, fmx::_fmxcpt&);
    using ConstructorFn = fmx::BinaryData* (*)(const fmx::Text&, fmx::uint32*, fmx::_fmxcpt&);
    auto sessionId = reinterpret_cast<SessionFn>(dlsym(host->handle(), "FM_ExprEnv_SessionID"));
    auto addFinish = reinterpret_cast<AddFinishFn>(dlsym(host->handle(), "FM_BinaryData_AddFinish"));
    auto registerStep = reinterpret_cast<RegisterStepFn>(dlsym(host->handle(), "FM_ExprEnv_RegisterScriptStep"));
    auto constructor4 = reinterpret_cast<ConstructorFn>(dlsym(host->handle(), "FM_BinaryData_Constructor4"));
    ASSERT_TRUE(sessionId && addFinish && registerStep && constructor4);

    fmx::ExprEnvUniquePtr env;
    fmx::BinaryDataUniquePtr data;
    fmx::TextUniquePtr text;
    fmx::QuadCharUniquePtr id('O', 'r', 'b', '3');
    fmx::_fmxcpt x;
    EXPECT_EQ(sessionId(env.get(), x), 0u);
    EXPECT_EQ(addFinish(data.get(), 1, x), 1223);
    EXPECT_EQ(registerStep(*id, 1, *text, *text, *text, 0, nullptr, x), 1223);
    fmx::uint32 context = 0;
    EXPECT_EQ(constructor4(*text, &context, x), nullptr);
    host->unload();
}

TEST(EntryPoint, ForwardersReachANewHost) {
    auto host = loadPlugin();  // a version-16 host
    ASSERT_EQ(host->init(), 57);
    using FontFn = fmx::uint16 (*)(const fmx::Text&, fmx::_fmxcpt&);
    using RegisterStepFn = fmx::errcode (*)(const fmx::QuadChar&, fmx::int16, const fmx::Text&, const fmx::Text&,
                                            const fmx::Text&, fmx::uint32, fmx::ExtPluginType, fmx::_fmxcpt&);
    auto fontId = reinterpret_cast<FontFn>(dlsym(host->handle(), "FM_Data_GetPostscriptFontID"));
    auto registerStep = reinterpret_cast<RegisterStepFn>(dlsym(host->handle(), "FM_ExprEnv_RegisterScriptStep"));
    ASSERT_TRUE(fontId && registerStep);
    fmx::TextUniquePtr font;
    font->Assign("Helvetica");
    fmx::QuadCharUniquePtr id('O', 'r', 'b', '3');
    fmx::_fmxcpt x;
    EXPECT_EQ(fontId(*font, x), 1);  // the host's answer, not the fallback 0
    // The host itself refuses a step without a callback (1200), where the fallback would say 1223.
    EXPECT_EQ(registerStep(*id, 1, *font, *font, *font, 0, nullptr, x), 1200);
    host->unload();
}

TEST(EntryPoint, OnlyTheEntryPointAndForwardersAreExported) {
    auto host = loadPlugin();
    EXPECT_NE(dlsym(host->handle(), "FMExternCallProc"), nullptr);
    EXPECT_EQ(dlsym(host->handle(), "glueInit"), nullptr);
    EXPECT_EQ(dlsym(host->handle(), "_Z8glueInitshPKDs"), nullptr);
    EXPECT_EQ(dlsym(host->handle(), "gFMX_ExternCallPtr"), nullptr);
    host->unload();
}

namespace {
int threadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}
}  // namespace

TEST(EntryPoint, InitStartsTheWorkerAndUnloadLeavesNoThreadBehind) {
    const int before = threadCount();
    auto host = loadPlugin();
    ASSERT_EQ(host->init(), 57);
    EXPECT_GT(threadCount(), before);  // the worker thread runs
    host->unload();
    EXPECT_EQ(threadCount(), before);
}

TEST(EntryPoint, ARefusedInitStartsNoThread) {
    const int before = threadCount();
    fmhost::HostSettings s;
    s.appType = 3;
    auto host = loadPlugin(s);
    ASSERT_EQ(host->init(), -2);
    EXPECT_EQ(threadCount(), before);
    EXPECT_TRUE(fmhost::HostState::get().functions.empty());
    host->unload();
}

namespace {
fmx::errcode placeholder(fmx::int16, const fmx::ExprEnv&, const fmx::DataVect&, fmx::Data&) { return 0; }
}  // namespace

// A host that refuses the plug-in's functions (here: another plug-in holds the id of
// Volan_UploadFile) gets a refused load with the reason, never a plug-in without functions.
TEST(EntryPoint, ARefusedRegistrationRefusesTheLoadAndSaysWhy) {
    fmx::QuadCharUniquePtr id('O', 'r', 'b', '3');
    fmx::TextUniquePtr name, prototype;
    name->Assign("Other_Function");
    prototype->Assign("Other_Function");
    ASSERT_EQ(fmx::ExprEnv::RegisterExternalFunction(*id, 500, *name, *prototype, 0, 0, 0, placeholder), 0);

    const std::string log = testing::TempDir() + "volan-init-stderr.txt";
    std::fflush(stderr);
    const int saved = dup(2);
    FILE* capture = std::fopen(log.c_str(), "w");
    dup2(fileno(capture), 2);
    auto host = loadPlugin();
    const int64_t result = host->init();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(capture);
    host->unload();
    fmx::ExprEnv::UnRegisterExternalFunction(*id, 500);

    EXPECT_EQ(result, -2);
    std::ifstream in(log);
    const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("Volan Pro could not register its functions"), std::string::npos) << said;
    EXPECT_NE(said.find("Volan_UploadFile (error 1210)"), std::string::npos) << said;
    std::remove(log.c_str());
}
