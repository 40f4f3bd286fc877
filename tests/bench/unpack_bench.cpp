// Unpacking the payload: our unpacking step and the whole unpack-and-place step,
// against a plain loop over the same minizip calls, on the same archive in the same
// prefix. Prints one line per measurement; the bench command gathers them.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/files.h"
#include "foundation/unique_handle.h"
#include "installer/payload_archive.h"
#include "installer/payload_placement.h"
#include "support/test_support.h"
#include "unzip.h"  // before iowin32.h, which needs zlib's declarations
#include "iowin32.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::ScratchFolder;

constexpr int kRuns = 3;
// The waits that unpacking and placing prescribe on a new installation: 300 ms on
// each side of the unpacking, 300 after each tree copy, 200 before the batch, 100
// before the services, 300 before the staging folder goes, and the batch's own 100
// and 200 around its run.
constexpr double kPrescribedWaitsSeconds = 0.3 + 0.3 + 0.3 + 0.3 + 0.2 + 0.1 + 0.1 + 0.3 + 0.1 + 0.2;

void FreeLibraryNoexcept(HMODULE m) noexcept { ::FreeLibrary(m); }
using UniqueLibrary = UniqueHandle<HandleTraits<HMODULE, nullptr, FreeLibraryNoexcept>>;

std::string Payload() { return testing_support::TestProgramFolder() + "fixtures\\bench_payload.zip"; }

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The line the bench command gathers: median and spread of one measurement.
void PrintFigure(const char* key, const std::vector<double>& seconds) {
    const auto [least, most] = std::minmax_element(seconds.begin(), seconds.end());
    std::printf("BENCH %s median=%.2f min=%.2f max=%.2f\n", key, Median(seconds), *least, *most);
}

SIZE_T PeakPrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
}

// Open, next member, read, write; the folders exist beforehand.
void PlainLoop(const std::string& archive, const std::string& base) {
    zlib_filefunc64_def io{};
    fill_win32_filefunc64A(&io);
    unzFile zip = unzOpen2_64(archive.c_str(), &io);
    ASSERT_NE(zip, nullptr);
    std::vector<char> buffer(256 * 1024);
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        char name[512] = {};
        unzGetCurrentFileInfo64(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0);
        std::string path = base + name;
        std::replace(path.begin(), path.end(), '/', '\\');
        if (path.back() == '\\') continue;
        unzOpenCurrentFile(zip);
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        int read;
        while ((read = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) {
            DWORD written;
            ::WriteFile(file.get(), buffer.data(), static_cast<DWORD>(read), &written, nullptr);
        }
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
}

void MakeFolders(const std::string& base) {
    for (const char* folder : {"http\\static", "config", "data"}) CreateFolderPath(base + folder);
    char sub[64];
    for (int i = 0; i < 30; ++i) {
        std::snprintf(sub, sizeof sub, "http\\static\\%02d", i);
        CreateFolderPath(base + sub);
    }
}

TEST(UnpackBench, PayloadUnpackingAgainstAPlainLoop) {
    ASSERT_TRUE(testing_support::FileExists(Payload()));
    std::vector<double> plain, ours, placed;
    SIZE_T ourPeak = 0, placedPeak = 0;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(Payload().c_str(), GetFileExInfoStandard, &data);
    const double payloadBytes = static_cast<double>(data.nFileSizeLow) + 4294967296.0 * data.nFileSizeHigh;
    // Built with the payload as its "ZIP" 130 resource, as the installer is.
    UniqueLibrary module(::LoadLibraryExA((testing_support::TestProgramFolder() + "bench_carrier.exe").c_str(),
                                          nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);

    for (int run = 0; run < kRuns; ++run) {
        {
            ScratchFolder dir;
            MakeFolders(dir.Path());
            const auto start = Clock::now();
            PlainLoop(Payload(), dir.Path());
            plain.push_back(Seconds(Clock::now() - start));
        }
        {
            ScratchFolder dir;
            const auto start = Clock::now();
            const UnpackResult result = UnpackArchive(Payload(), dir.Path());
            ours.push_back(Seconds(Clock::now() - start));
            ourPeak = PeakPrivateBytes();
            ASSERT_EQ(result.filesWritten, 3009u);
        }
        {
            ScratchFolder dir;
            PlacementRequest request;
            request.installDir = dir.Path();
            request.unattended = true;
            request.updateLog = dir / "update.log";
            request.payloadModule = module.get();
            const auto start = Clock::now();
            EXPECT_EQ(UnpackAndPlacePayload(request), PlacementResult::Placed);
            placed.push_back(Seconds(Clock::now() - start));
            placedPeak = PeakPrivateBytes();
        }
    }
    const double plainMedian = Median(plain), ourMedian = Median(ours), placedMedian = Median(placed);
    std::printf("unpack bench: payload %.1f MB; plain minizip loop %.2f s; our unpacking %.2f s (%.2fx); "
                "unpack and place %.2f s (%.2fx of the loop plus %.1f s of prescribed waits)\n",
                payloadBytes / 1048576.0, plainMedian, ourMedian, ourMedian / plainMedian, placedMedian,
                (placedMedian - kPrescribedWaitsSeconds) / plainMedian, kPrescribedWaitsSeconds);
    std::printf("unpack bench: peak private memory of the process %.1f MB after unpacking, %.1f MB after placing "
                "(payload %.1f MB + 64 MB allowed)\n",
                ourPeak / 1048576.0, placedPeak / 1048576.0, payloadBytes / 1048576.0);
    PrintFigure("unpack_loop_s", plain);
    PrintFigure("unpack_ours_s", ours);
    PrintFigure("unpack_place_s", placed);
    EXPECT_LE(static_cast<double>(placedPeak), payloadBytes + 64.0 * 1048576.0);
    EXPECT_LE(ourMedian / plainMedian, 1.2);
    EXPECT_LE((placedMedian - kPrescribedWaitsSeconds) / plainMedian, 2.5);
}

}  // namespace
