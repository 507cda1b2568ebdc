// The plug-in's own script steps: what the host is told, when they are registered, and what they do.
#include "PluginFixture.h"

#include <cstdlib>
#include <filesystem>

using testing_support::loadPlugin;
using testing_support::u8;

namespace {

// Sets "PluginInterface" through Volan_Configure, then loads the plug-in afresh on a host.
std::unique_ptr<fmhost::PluginHost> hostWithInterface(const char* value, int16_t api = 57) {
    std::filesystem::remove_all(std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Orb");
    {
        auto setup = loadPlugin();
        EXPECT_EQ(setup->init(), 57);
        EXPECT_EQ(
            u8(setup->evaluate(u"Volan_Configure(\"Set\";\"PluginInterface\";\"" + fmhost::utf16(value) + u"\")").text),
            "Preference set.");
        setup->unload();
    }
    fmhost::HostSettings s;
    s.apiVersion = api;
    if (api < 57) s.versionText = u"Pro 15.0.3";
    auto host = loadPlugin(s);
    EXPECT_EQ(host->init(), 57);
    return host;
}

const fmhost::RegisteredStep* step(int id) {
    for (const auto& s : fmhost::HostState::get().steps)
        if (s.id == id) return &s;
    return nullptr;
}

fmhost::DataPtrs values(fmhost::PluginHost& host, std::initializer_list<const char16_t*> expressions,
                        std::vector<fmhost::Evaluation>& keep) {
    fmhost::DataPtrs data;
    for (const char16_t* e : expressions) {
        keep.push_back(host.evaluate(e));
        data.push_back(keep.back().value.get());
    }
    return data;
}

}  // namespace

TEST(ScriptSteps, DefinitionsAsTheHostReadsThem) {
    auto host = hostWithInterface("2");
    ASSERT_NE(step(6010), nullptr);
    EXPECT_EQ(u8(step(6010)->definition),
              "<PluginStep><Parameter ID=\"0\" Label=\"Name\" Type=\"list\" Default=\"0\" "
              "ShowInline=\"kParam_ShowInline\"><Value ID=\"0\">Add Function Help</Value></Parameter>"
              "<Parameter ID=\"1\" Label=\"Value\" Type=\"calc\" DataType=\"text\" "
              "ShowInline=\"kParam_DontShowInline\"/></PluginStep>");
    EXPECT_EQ(u8(step(6020)->definition),
              "<PluginStep><Parameter Label=\"Target\" Type=\"target\" DataType=\"text\" "
              "ShowInline=\"kParam_ShowInline\"/><Parameter ID=\"0\" Label=\"Name\" Type=\"list\" Default=\"0\" "
              "ShowInline=\"kParam_ShowInline\"><Value ID=\"0\">Add Function Help</Value></Parameter></PluginStep>");
    EXPECT_EQ(u8(step(6030)->definition),
              "<PluginStep><Parameter ID=\"0\" Label=\"Tab\" Type=\"list\" Default=\"0\" "
              "ShowInline=\"kParam_ShowInline\"><Value ID=\"0\">Basics</Value><Value ID=\"1\">About</Value>"
              "</Parameter></PluginStep>");
    EXPECT_EQ(u8(step(6050)->definition),
              "<PluginStep><Parameter Label=\"Target\" Type=\"target\" DataType=\"text\" "
              "ShowInline=\"kParam_ShowInline\"/><Parameter ID=\"0\" Label=\"Number Only\" Type=\"bool\" "
              "Default=\"kParam_Unhecked\" ShowInline=\"kParam_DontShowInline\"/></PluginStep>");
    EXPECT_EQ(u8(step(6010)->name), "Volan Set Configure Option");
    EXPECT_EQ(u8(step(6030)->description),
              "Show Configure Dialog Preferences scd Volan Volan Pro|Shows the plug-in's configuration dialog.");
    EXPECT_EQ(u8(step(6050)->description), "Version Volan Volan Pro|Returns the version of the plug-in.");
    for (int id : {6010, 6020, 6030, 6050}) {
        EXPECT_EQ(step(id)->flags, 0xFF007Eu) << id;
        EXPECT_EQ(step(id)->pluginId, "Orb3") << id;
    }
    EXPECT_EQ(fmhost::HostState::get().functions.size(), 61u);  // both, for any value but 0 and 1
    host->unload();
    EXPECT_TRUE(fmhost::HostState::get().steps.empty());
}

TEST(ScriptSteps, RegisteredAsThePreferenceAndHostAllow) {
    auto host = hostWithInterface("0");
    EXPECT_TRUE(fmhost::HostState::get().steps.empty());
    EXPECT_EQ(fmhost::HostState::get().functions.size(), 61u);
    host->unload();

    host = hostWithInterface("1");
    EXPECT_EQ(fmhost::HostState::get().steps.size(), 23u);  // the file and folder steps too
    EXPECT_TRUE(fmhost::HostState::get().functions.empty());
    host->unload();

    host = hostWithInterface("1", 56);  // a version-15 host has no script steps
    EXPECT_TRUE(fmhost::HostState::get().steps.empty());
    host->unload();
}

TEST(ScriptSteps, EachStepRunsThroughTheHost) {
    auto host = hostWithInterface("2");
    std::vector<fmhost::Evaluation> keep;
    fmhost::Evaluation ev = host->runStep(u"Volan Version", values(*host, {u"True"}, keep));
    EXPECT_EQ(ev.error, 0);
    EXPECT_EQ(u8(ev.text), "03000100");
    ev = host->runStep(u"6050", values(*host, {u"False"}, keep));
    EXPECT_EQ(u8(ev.text), "Volan Pro v.3.0.1 (Orb Core v.5.5.1)");

    ev = host->runStep(u"Volan Get Configure Option", values(*host, {u"0"}, keep));
    EXPECT_EQ(ev.error, 1552);
    EXPECT_EQ(u8(ev.text),
              "Volan Pro Get Configure Option: Could not get preference: Unknown preference name: ADDHELP");
    ev = host->runStep(u"Volan Set Configure Option", values(*host, {u"0", u"\"0\""}, keep));
    EXPECT_EQ(ev.error, 0);
    EXPECT_EQ(u8(ev.text), "Preference set.");
    ev = host->runStep(u"Volan Get Configure Option", values(*host, {u"0"}, keep));
    EXPECT_EQ(u8(ev.text), "0");
    // Turning the help off registered the functions again without it.
    EXPECT_EQ(u8(fmhost::HostState::get().findFunction(u"Volan_Connect")->prototype), "Volan_Connect ( AccountName )");

    setenv("VOLAN_UI", "headless", 1);
    ev = host->runStep(u"Volan Show Configure Dialog", values(*host, {u"1"}, keep));
    EXPECT_EQ(ev.error, 0);
    EXPECT_EQ(u8(ev.text), "Configuration dialog shown. (Initial tab: ABOUT)");
    // A list's choice by its text, as the file steps take theirs.
    for (const auto& [choice, tab] : {std::pair{u"\" about \"", "ABOUT"}, std::pair{u"\"Basics\"", "BASICS"}}) {
        ev = host->runStep(u"Volan Show Configure Dialog", values(*host, {choice}, keep));
        EXPECT_EQ(u8(ev.text), std::string("Configuration dialog shown. (Initial tab: ") + tab + ")") << u8(choice);
    }
    host->unload();
    unsetenv("VOLAN_UI");  // later tests in this process choose their own
    // The preferences changed here must not reach the tests that run after this one.
    std::filesystem::remove_all(std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Orb");
}
