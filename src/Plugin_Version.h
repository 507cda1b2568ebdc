// The product's name and version numbers, shown to the host and in results.
#pragma once

#define PLUGIN_NAME "Volan Pro"
#define PLUGIN_FILE_NAME "Volan_Pro_WIN.fmx64"
#define PLUGIN_ID "Orb3"
#define PLUGIN_VERSION "3.0.1"
#define PLUGIN_VERSION_MAJOR 3
#define PLUGIN_VERSION_MINOR 0
#define PLUGIN_VERSION_PATCH 1
#define PLUGIN_VERSION_BUILD 0
#define ORB_CORE_VERSION "5.5.1"
// The extension version the plug-in is built for (the answer to an accepted init).
#define PLUGIN_API_VERSION 57
// The maker's web site (help address).
#define PLUGIN_MAKER_SITE "https://orb.example"
