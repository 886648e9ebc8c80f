// pictova-bench: how fast and how lean the slide-show build is. It writes
// its own pictures into a temporary folder, builds preview shows of them and
// sets each build beside a limit measured in the same run on the same data:
// for JPEGs, copying their bytes into one file (the movie embeds them as they
// are); for PNGs, zlib-deflating their pixels, in the 32-bit form lossless
// bitmaps store, at the default level. Every case runs in a child process of
// its own so that peak memory figures do not mix.
//
//     pictova-bench [--pictures N] [--keep]
//
// --pictures N also builds a show of N small JPEGs and reports the open file
// descriptors seen during that build.

#include "movie/ProgressSink.h"
#include "platform/JpegCodec.h"
#include "show/ImageSize.h"
#include "show/SlideShowBuild.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <dirent.h>
#include <png.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

namespace {

using namespace pictova;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kJpegCount = 100;
constexpr int kPngCount = 20;
constexpr int kJpegQuality = 85;
constexpr uint32_t kEffectSeed = 2024; // random effects, the same each run

// ---- measuring ---------------------------------------------------------

// What a child reports back through its pipe (plain bytes, so fixed size).
struct TCaseResult {
    bool Ok = false;
    double Seconds = 0;    // wall clock (steady_clock)
    double CpuSeconds = 0; // this process's CPU time: steadier on a shared machine
    long StartKiB = 0;     // resident when the case began
    long PeakKiB = 0;      // highest resident size during the case
    int StartFds = 0;
    int MaxFds = 0; // -1 when not counted
    uint64_t OutputBytes = 0;
    uint32_t Frames = 0; // of a built show
    char Error[256] = {};
};

long StatusKiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, n, key) == 0)
            return std::atol(line.c_str() + n);
    return 0;
}

// Open descriptors of this process, less the one that reads the folder.
int OpenFds() {
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(dir);
    return count - 1;
}

// Runs the case in a forked child. The child resets the kernel's high-water
// mark first (clear_refs 5), so the peak is the case's own, not the parent's.
TCaseResult RunInChild(const std::function<void(TCaseResult&)>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        throw std::runtime_error("pipe failed");
    std::fflush(stdout); // what was printed shows before the case runs
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::ofstream("/proc/self/clear_refs") << "5";
        TCaseResult result;
        result.StartKiB = StatusKiB("VmRSS:");
        result.StartFds = OpenFds();
        result.MaxFds = -1;
        try {
            body(result);
            result.Ok = true;
        } catch (const std::exception& e) {
            std::snprintf(result.Error, sizeof result.Error, "%s", e.what());
        }
        result.PeakKiB = StatusKiB("VmHWM:");
        const bool sent = ::write(pipeFds[1], &result, sizeof result) == ssize_t(sizeof result);
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    TCaseResult result;
    const ssize_t got = ::read(pipeFds[0], &result, sizeof result);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got != ssize_t(sizeof result)) {
        result = TCaseResult{};
        std::snprintf(result.Error, sizeof result.Error, "the case died (wait status %d)", status);
    }
    return result;
}

double CpuNow() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Adds the wall and CPU time from its creation to its end to the result.
class TTimed {
public:
    explicit TTimed(TCaseResult& result) : Result(result) {}
    ~TTimed() {
        Result.Seconds += std::chrono::duration<double>(Clock::now() - Wall).count();
        Result.CpuSeconds += CpuNow() - Cpu;
    }
    TTimed(const TTimed&) = delete;
    TTimed& operator=(const TTimed&) = delete;

private:
    TCaseResult& Result;
    Clock::time_point Wall = Clock::now();
    double Cpu = CpuNow();
};

// ---- pictures ------------------------------------------------------------

// A diagonal colour gradient that differs per picture, with noise on top so
// that neither JPEG nor deflate can shrink it to nothing.
TRgbImage MakePicture(int width, int height, uint32_t seed) {
    TRgbImage image{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    uint32_t noise = seed * 2654435761u + 1;
    uint8_t* p = image.Pixels.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = int(noise >> 27) - 16; // -16..15
            const int base[3] = {x * 255 / width, y * 255 / height,
                                 int((x + y + seed * 41) % 512) / 2};
            for (int c = 0; c < 3; ++c)
                *p++ = uint8_t(std::clamp(base[c] + n, 0, 255));
        }
    }
    return image;
}

void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::vector<fs::path> WriteJpegs(const fs::path& folder, int count, int width, int height,
                                 uint32_t firstSeed) {
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder / ("picture" + std::to_string(i) + ".jpg"));
        WriteBytes(
            files.back(),
            EncodeBaselineJpeg(MakePicture(width, height, firstSeed + uint32_t(i)), kJpegQuality));
    }
    return files;
}

std::vector<fs::path> WritePngs(const fs::path& folder, int count, uint32_t firstSeed) {
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder / ("picture" + std::to_string(i) + ".png"));
        const TRgbImage image = MakePicture(kWidth, kHeight, firstSeed + uint32_t(i));
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        png.width = png_uint_32(image.Width);
        png.height = png_uint_32(image.Height);
        png.format = PNG_FORMAT_RGB;
        if (!png_image_write_to_file(&png, files.back().c_str(), 0, image.Pixels.data(), 0,
                                     nullptr))
            throw std::runtime_error("libpng: " + std::string(png.message));
    }
    return files;
}

uint64_t TotalSize(const std::vector<fs::path>& files) {
    uint64_t total = 0;
    for (const fs::path& file : files)
        total += fs::file_size(file);
    return total;
}

// ---- the cases -----------------------------------------------------------

// Counts the open descriptors at every step of the build.
class TFdWatch : public TProgressSink {
public:
    void SetMax(int max) override { FMax = max; }
    int Max() const override { return FMax; }
    void SetPosition(int) override { Look(); }
    void Step() override { Look(); }
    int Highest = 0;

private:
    void Look() { Highest = std::max(Highest, OpenFds()); }
    int FMax = 0;
};

TCaseResult BuildCase(const std::vector<fs::path>& files, const fs::path& output, int effect,
                      int duration, bool watchFds) {
    return RunInChild([&](TCaseResult& r) {
        // The project reads the sizes when pictures are added, not at build time.
        std::vector<recImgItems> items;
        for (const fs::path& file : files) {
            const auto size = ReadImageSize(file);
            if (!size)
                throw std::runtime_error("no size in " + file.string());
            items.push_back({file, size->Height, size->Width, effect, duration});
        }
        TFdWatch watch;
        TBuildServices services;
        if (watchFds)
            services.Progress = &watch;
        TEffectDraw draw(kEffectSeed);
        {
            TTimed timed(r);
            r.Frames = BuildShow(items, TShowOptions{}, output, true, draw, services).FrameCount;
        }
        r.MaxFds = watchFds ? watch.Highest : -1;
        r.OutputBytes = fs::file_size(output);
    });
}

// Reading every JPEG whole and appending it to one file: the least work a
// movie that embeds them can do.
TCaseResult CopyLimit(const std::vector<fs::path>& files, const fs::path& output) {
    return RunInChild([&](TCaseResult& r) {
        {
            TTimed timed(r);
            std::ofstream out(output, std::ios::binary);
            for (const fs::path& file : files) {
                std::vector<char> bytes(fs::file_size(file));
                std::ifstream in(file, std::ios::binary);
                in.read(bytes.data(), std::streamsize(bytes.size()));
                out.write(bytes.data(), std::streamsize(bytes.size()));
            }
            out.close();
            if (!out)
                throw std::runtime_error("cannot write " + output.string());
        }
        r.OutputBytes = fs::file_size(output);
    });
}

// Deflating each PNG's pixels (regenerated, untimed) as the lossless bitmap
// stores them, 0xFF R G B per pixel, at the default level into one file.
TCaseResult DeflateLimit(int count, uint32_t firstSeed, const fs::path& output) {
    return RunInChild([&](TCaseResult& r) {
        std::ofstream out(output, std::ios::binary);
        std::vector<uint8_t> block(64 * 1024);
        for (int i = 0; i < count; ++i) {
            std::vector<uint8_t> raw;
            {
                const TRgbImage image = MakePicture(kWidth, kHeight, firstSeed + uint32_t(i));
                raw.reserve(image.Pixels.size() / 3 * 4);
                for (size_t p = 0; p < image.Pixels.size(); p += 3)
                    raw.insert(raw.end(),
                               {0xFF, image.Pixels[p], image.Pixels[p + 1], image.Pixels[p + 2]});
            }
            TTimed timed(r);
            z_stream z{};
            if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
                throw std::runtime_error("deflateInit failed");
            z.next_in = raw.data();
            z.avail_in = uInt(raw.size());
            int rc;
            do {
                z.next_out = block.data();
                z.avail_out = uInt(block.size());
                rc = deflate(&z, Z_FINISH);
                out.write(reinterpret_cast<const char*>(block.data()),
                          std::streamsize(block.size() - z.avail_out));
            } while (rc == Z_OK);
            deflateEnd(&z);
            if (rc != Z_STREAM_END)
                throw std::runtime_error("deflate failed");
        }
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + output.string());
        r.OutputBytes = fs::file_size(output);
    });
}

// ---- report ----------------------------------------------------------------

double MiB(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

void Row(const char* name, const TCaseResult& r) {
    if (!r.Ok) {
        std::printf("  %-27s FAILED: %s\n", name, r.Error);
        return;
    }
    std::printf(
        "  %-27s %7.2f s (CPU %6.2f s)  peak %6.1f MiB (at start %4.1f)  output %6.1f MiB\n", name,
        r.Seconds, r.CpuSeconds, r.PeakKiB / 1024.0, r.StartKiB / 1024.0,
        MiB(double(r.OutputBytes)));
}

void Compare(const char* title, const TCaseResult& build, const char* buildName,
             const TCaseResult& limit, const char* limitName) {
    std::printf("%s\n", title);
    Row(buildName, build);
    Row(limitName, limit);
    if (build.Ok && limit.Ok)
        std::printf("  %-27s time x %.2f (CPU x %.2f), peak memory x %.2f\n\n", "build / limit",
                    build.Seconds / std::max(limit.Seconds, 1e-9),
                    build.CpuSeconds / std::max(limit.CpuSeconds, 1e-9),
                    double(build.PeakKiB) / double(std::max(limit.PeakKiB, 1L)));
}

int Usage() {
    std::fprintf(stderr, "usage: pictova-bench [--pictures N] [--keep]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int manyPictures = 0;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pictures" && i + 1 < argc) {
            manyPictures = std::atoi(argv[++i]);
            if (manyPictures <= 0)
                return Usage();
        } else if (arg == "--keep") {
            keep = true;
        } else {
            return Usage();
        }
    }

    std::string pattern = (fs::temp_directory_path() / "pictova-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path work = pattern;
    int status = 0;
    try {
        std::printf("pictova-bench: pictures in %s\n\n", work.c_str());
        const fs::path jpegFolder = work / "jpeg", pngFolder = work / "png";
        fs::create_directories(jpegFolder);
        fs::create_directories(pngFolder);
        constexpr uint32_t kPngSeed = 1000;
        const std::vector<fs::path> jpegs = WriteJpegs(jpegFolder, kJpegCount, kWidth, kHeight, 0);
        const std::vector<fs::path> pngs = WritePngs(pngFolder, kPngCount, kPngSeed);
        const double rawPixels = double(kWidth) * kHeight * 4 * kPngCount;
        std::printf("%d baseline JPEGs %d x %d (quality %d): %.1f MiB of files\n", kJpegCount,
                    kWidth, kHeight, kJpegQuality, MiB(double(TotalSize(jpegs))));
        std::printf("%d PNGs %d x %d: %.1f MiB of files, %.1f MiB of 32-bit pixels\n\n", kPngCount,
                    kWidth, kHeight, MiB(double(TotalSize(pngs))), MiB(rawPixels));

        // Effect 0: drawn from a fixed seed; 5 seconds each.
        const TCaseResult jpegBuild = BuildCase(jpegs, work / "jpeg.swf", 0, 5, false);
        const TCaseResult jpegLimit = CopyLimit(jpegs, work / "jpeg.bin");
        Compare("JPEG show", jpegBuild, "build (preview)", jpegLimit, "limit: copy the JPEG bytes");
        const TCaseResult pngBuild = BuildCase(pngs, work / "png.swf", 0, 5, false);
        const TCaseResult pngLimit = DeflateLimit(kPngCount, kPngSeed, work / "png.bin");
        Compare("PNG show", pngBuild, "build (preview)", pngLimit, "limit: deflate the pixels");
        if (!jpegBuild.Ok || !pngBuild.Ok)
            status = 1;

        if (manyPictures > 0) {
            const fs::path folder = work / "many";
            fs::create_directories(folder);
            const std::vector<fs::path> small = WriteJpegs(folder, manyPictures, 160, 120, 5000);
            // Hard cuts and one second each: 20 frames a picture, so 2000
            // pictures stay within the movie's 65535 frames.
            const TCaseResult r = BuildCase(small, work / "many.swf", 1, 1, true);
            std::printf("Show of %d small JPEGs (160 x 120, %.1f MiB of files; descriptors "
                        "counted at every progress step)\n",
                        manyPictures, MiB(double(TotalSize(small))));
            Row("build (preview)", r);
            if (r.Ok)
                std::printf("  %-27s built, %u frames; open descriptors: %d before the build, "
                            "at most %d during it\n",
                            "result", r.Frames, r.StartFds, r.MaxFds);
            else
                status = 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pictova-bench: %s\n", e.what());
        status = 1;
    }
    if (keep) {
        std::printf("kept %s\n", work.c_str());
    } else {
        std::error_code ignored;
        fs::remove_all(work, ignored);
    }
    return status;
}
