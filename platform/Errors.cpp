#include "platform/Errors.h"

#include <cstring>
#include <utility>

namespace pictova {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& file) {
    return "\"" + file.string() + "\"";
}

const char* Verb(TFileAction action) {
    switch (action) {
    case TFileAction::Open:
        return "open";
    case TFileAction::Read:
        return "read";
    case TFileAction::Write:
        return "write";
    case TFileAction::Create:
        return "create";
    case TFileAction::CreateFolder:
        return "create the folder";
    case TFileAction::Lock:
        return "lock";
    }
    return "use";
}

std::string FileWhat(const fs::path& file, TFileAction action, int error) {
    std::string what = std::string("cannot ") + Verb(action) + " " + Quoted(file);
    if (error != 0)
        what += std::string(": ") + std::strerror(error);
    return what;
}

std::string PictureWhat(EPictureError::TProblem problem, const fs::path& file,
                        const std::string& detail) {
    switch (problem) {
    case EPictureError::UnsupportedFormat:
        return "Image format \"" + detail + "\" not supported!";
    case EPictureError::Unreadable:
        return Quoted(file) + ": " + detail;
    case EPictureError::NoSize:
        return Quoted(file) + ": the picture has no size";
    case EPictureError::SizeUnknown:
        return Quoted(file) + ": the size of the picture could not be read";
    }
    return Quoted(file);
}

std::string SoundWhat(ESoundError::TProblem problem, const fs::path& file,
                      const std::string& detail) {
    if (problem == ESoundError::BuiltInMissing)
        return "the built-in music \"" + detail + "\" is missing: " + Quoted(file);
    return Quoted(file) + ": " + detail;
}

std::string ShowWhat(EShowError::TProblem problem, const fs::path& file, int64_t value,
                     int64_t limit, int64_t limit2) {
    switch (problem) {
    case EShowError::NoPictures:
        return "the show has no pictures";
    case EShowError::DurationOutOfRange:
        return "the display time " + std::to_string(value) + " s of " + Quoted(file) +
               " is outside " + std::to_string(limit) + " to " + std::to_string(limit2);
    case EShowError::TooLong:
        return "the show would have " + std::to_string(value) + " frames, a movie holds " +
               std::to_string(limit) + " at most (" + std::to_string(limit2) +
               " frames per second)";
    case EShowError::NoOutputFile:
        return "no output file is given";
    case EShowError::PlayerMissing:
        return "the player is missing: " + Quoted(file);
    }
    return "the show cannot be built";
}

} // namespace

EFileError::EFileError(fs::path file, TFileAction action, int error, const std::string& what)
    : EPictovaError(what.empty() ? FileWhat(file, action, error) : what), FFile(std::move(file)),
      FAction(action), FErrno(error) {}

EMediaError::EMediaError(const std::string& what, fs::path file, std::string detail)
    : EPictovaError(what), FFile(std::move(file)), FDetail(std::move(detail)) {}

// The what() texts read the fields, so the base gets copies, not moved values.
EPictureError::EPictureError(TProblem problem, fs::path file, std::string detail,
                             const std::string& what)
    : EMediaError(what.empty() ? PictureWhat(problem, file, detail) : what, file, detail),
      FProblem(problem) {}

ESoundError::ESoundError(TProblem problem, fs::path file, std::string detail)
    : EMediaError(SoundWhat(problem, file, detail), file, detail), FProblem(problem) {}

EShowError::EShowError(TProblem problem, fs::path file, int64_t value, int64_t limit,
                       int64_t limit2)
    : EPictovaError(ShowWhat(problem, file, value, limit, limit2)), FProblem(problem),
      FFile(std::move(file)), FValue(value), FLimit(limit), FLimit2(limit2) {}

} // namespace pictova
