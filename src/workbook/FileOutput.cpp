#include "workbook/FileOutput.h"

#include "text/Error.h"
#include "workbook/WorkbookMessages.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace tavlor::workbook::detail {

namespace {

namespace fs = std::filesystem;

fs::path PathFromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// A name no other writer uses at the same time: random, plus a counter within the process.
std::string TemporarySuffix() {
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    char buf[40];
    std::snprintf(buf, sizeof buf, ".~%08x%04x.tmp", static_cast<unsigned>(device()), counter++ & 0xFFFFu);
    return buf;
}

}  // namespace

void WriteFileReplacing(const std::string& path, const std::function<void(const TWriter&)>& produce) {
    const fs::path target = PathFromUtf8(path);
    fs::path temporary = target;
    temporary += TemporarySuffix();
    std::error_code ignored;

    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
        throw Error(msg::workbook::CannotWriteFile(path));
    }
    try {
        produce([&file](std::string_view part) {
            if (file) {
                file.write(part.data(), static_cast<std::streamsize>(part.size()));
            }
        });
    } catch (...) {
        file.close();
        fs::remove(temporary, ignored);
        throw;
    }
    file.close();
    std::error_code error;
    if (!file.fail()) {
        fs::rename(temporary, target, error);
    }
    if (file.fail() || error) {
        fs::remove(temporary, ignored);
        throw Error(msg::workbook::CannotWriteFile(path));
    }
}

void WriteFileReplacing(const std::string& path, const std::vector<std::string_view>& parts) {
    WriteFileReplacing(path, [&parts](const TWriter& write) {
        for (const std::string_view part : parts) {
            write(part);
        }
    });
}

}  // namespace tavlor::workbook::detail
