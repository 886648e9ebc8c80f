#pragma once
// The program's own errors. Each kind carries its facts as fields (file,
// errno, numbers), and what() is a plain developer's text: the message a user
// reads is worded by the front end from the fields, in the user's language.
//
//   EPictovaError
//   ├── EFileError      a file that cannot be opened, read, written or created
//   ├── EMediaError     a picture or sound file that cannot go into a movie
//   │   ├── EPictureError
//   │   └── ESoundError
//   └── EShowError      a show that cannot be built as asked

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace pictova {

class EPictovaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Create: no file can be made in the folder File; CreateFolder: the folder
// File cannot be made; Lock: another program holds the file.
enum class TFileAction { Open, Read, Write, Create, CreateFolder, Lock };

class EFileError : public EPictovaError {
public:
    // error is the errno of the failed call (0 when there is none); what is
    // the developer's text, empty for one made from the fields.
    EFileError(std::filesystem::path file, TFileAction action, int error,
               const std::string& what = {});
    const std::filesystem::path& File() const { return FFile; }
    TFileAction Action() const { return FAction; }
    int Errno() const { return FErrno; }

private:
    std::filesystem::path FFile;
    TFileAction FAction;
    int FErrno;
};

// The file and what was found in it (the format, the reader's finding).
class EMediaError : public EPictovaError {
public:
    const std::filesystem::path& File() const { return FFile; }
    const std::string& Detail() const { return FDetail; }

protected:
    EMediaError(const std::string& what, std::filesystem::path file, std::string detail);

private:
    std::filesystem::path FFile;
    std::string FDetail;
};

class EPictureError : public EMediaError {
public:
    enum TProblem {
        UnsupportedFormat, // Detail: the upper-case extension without its dot
        Unreadable,        // Detail: what the decoder found
        NoSize,            // the picture has 0 x 0 pixels
        SizeUnknown,       // the size could not be read before the build
    };
    // what is the developer's text; empty gives one made from the fields.
    EPictureError(TProblem problem, std::filesystem::path file, std::string detail,
                  const std::string& what = {});
    TProblem Problem() const { return FProblem; }

private:
    TProblem FProblem;
};

class ESoundError : public EMediaError {
public:
    enum TProblem {
        Unusable,       // Detail: what the sound reader found
        BuiltInMissing, // Detail: the track's caption
    };
    ESoundError(TProblem problem, std::filesystem::path file, std::string detail);
    TProblem Problem() const { return FProblem; }

private:
    TProblem FProblem;
};

class EShowError : public EPictovaError {
public:
    enum TProblem {
        NoPictures,
        // File: the picture; Value: its duration; Limit to Limit2: the range.
        DurationOutOfRange,
        // Value: the frames it would have; Limit: the most a movie holds;
        // Limit2: frames per second.
        TooLong,
        NoOutputFile,
        // File: the player's script that is not there.
        PlayerMissing,
    };
    EShowError(TProblem problem, std::filesystem::path file = {}, int64_t value = 0,
               int64_t limit = 0, int64_t limit2 = 0);
    TProblem Problem() const { return FProblem; }
    const std::filesystem::path& File() const { return FFile; }
    int64_t Value() const { return FValue; }
    int64_t Limit() const { return FLimit; }
    int64_t Limit2() const { return FLimit2; }

private:
    TProblem FProblem;
    std::filesystem::path FFile;
    int64_t FValue, FLimit, FLimit2;
};

} // namespace pictova
