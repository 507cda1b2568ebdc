// The real test servers started by scripts/servers/start: their settings from servers.env, and a
// way to put fixture files on them as the servers' own user would.
#pragma once

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

namespace testing_support {

class TestServers {
public:
    // Reads VOLAN_SERVERS_ENV, else /tmp/volan-servers/servers.env; false when missing.
    bool load() {
        const char* path = std::getenv("VOLAN_SERVERS_ENV");
        std::ifstream in(path && *path ? path : "/tmp/volan-servers/servers.env");
        if (!in) return false;
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == '#') continue;
            const size_t eq = line.find('=');
            if (eq != std::string::npos) mValues[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return !mValues.empty();
    }
    std::string operator[](const std::string& key) const {
        auto it = mValues.find(key);
        return it == mValues.end() ? std::string() : it->second;
    }
    static bool required() {
        const char* r = std::getenv("VOLAN_REQUIRE_SERVERS");
        return r && std::string(r) == "1";
    }

    // Uploads `data` to `path` (relative to the login folder; segments are escaped here) over plain
    // FTP, so the file belongs to the servers' user like anything a client makes.
    bool upload(const std::string& path, const std::string& data) const {
        CURL* curl = curl_easy_init();
        if (!curl) return false;
        std::string url = "ftp://" + (*this)["VOLAN_TEST_HOST"] + ":" + (*this)["VOLAN_FTP_PORT"] + "/";
        size_t start = 0;
        while (start <= path.size()) {
            size_t end = path.find('/', start);
            if (end == std::string::npos) end = path.size();
            char* escaped = curl_easy_escape(curl, path.data() + start, static_cast<int>(end - start));
            url += escaped;
            curl_free(escaped);
            if (end < path.size()) url += '/';
            start = end + 1;
        }
        struct Source {
            const std::string* data;
            size_t offset;
        } source{&data, 0};
        auto read = +[](char* buffer, size_t size, size_t count, void* user) -> size_t {
            auto* s = static_cast<Source*>(user);
            const size_t n = std::min(size * count, s->data->size() - s->offset);
            std::copy_n(s->data->data() + s->offset, n, buffer);
            s->offset += n;
            return n;
        };
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_USERNAME, (*this)["VOLAN_TEST_USER"].c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, (*this)["VOLAN_TEST_PASSWORD"].c_str());
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, read);
        curl_easy_setopt(curl, CURLOPT_READDATA, &source);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(data.size()));
        const CURLcode code = curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        return code == CURLE_OK;
    }

private:
    std::map<std::string, std::string> mValues;
};

}  // namespace testing_support

// Skips the test without servers, or fails it when they are required (VOLAN_REQUIRE_SERVERS=1).
#define REQUIRE_TEST_SERVERS(servers)                                                      \
    do {                                                                                   \
        if (!(servers).load()) {                                                           \
            if (testing_support::TestServers::required()) FAIL() << "servers.env missing"; \
            GTEST_SKIP() << "test servers are not running (scripts/servers/start)";        \
        }                                                                                  \
    } while (0)
