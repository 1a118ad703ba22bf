// qhsl: lists, checks, encrypts and decrypts site list files for the people who manage them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "sites/SiteCatalogue.h"
#include "sites/SiteListCipher.h"
#include "sites/SiteListFormat.h"

namespace vp {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;  // check found problems, or something else failed
constexpr int kExitUsage = 2;
constexpr int kExitFileError = 3;
constexpr int kExitNotSiteList = 4;

// What the site properties dialog can hold.
constexpr std::size_t kMaxNameLength = 259;
constexpr std::size_t kMaxUrlLength = 2082;

constexpr std::string_view kLineEnd = "\r\n";

constexpr std::string_view kUsage =
    "usage: qhsl COMMAND [--plain | --encrypted] FILE...\n"
    "\n"
    "Commands:\n"
    "  list FILE          show the categories and sites of a site list\n"
    "  check FILE         report problems in a site list (exit 1 when there are any)\n"
    "  decrypt IN OUT     write the encrypted site list IN to OUT as plain text\n"
    "  encrypt IN OUT     write the plain site list IN to OUT encrypted\n"
    "\n"
    "list and check read FILE as the program does: as plain text when its path contains\n"
    "\"AvailableSitesExchange.qhsle\", else as encrypted. --plain and --encrypted force\n"
    "either reading.\n"
    "\n"
    "Exit status: 0 success, 1 problems found (check) or another failure, 2 wrong usage,\n"
    "3 a file could not be read or written, 4 a file is not a site list.\n";

// Ends the tool with a message on stderr and an exit code.
struct Failure {
    int exitCode;
    std::string message;
};

enum class Reading { kByPath, kPlain, kEncrypted };

std::string ReadFileBytes(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw Failure{kExitFileError, path + " is a folder, not a file"};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (!std::filesystem::exists(path, error)) {
            throw Failure{kExitFileError, path + ": no such file"};
        }
        throw Failure{kExitFileError, "cannot open " + path};
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        throw Failure{kExitFileError, "cannot read " + path};
    }
    return bytes;
}

// Writes a temporary file beside the target and renames it over the target, so the target
// is never left half written.
void ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target(path);
    std::filesystem::path temporary = target;
    temporary += ".qhsl-new";
    std::error_code ignored;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw Failure{kExitFileError, "cannot create " + temporary.string()};
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, ignored);
            throw Failure{kExitFileError, "cannot write " + temporary.string()};
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, ignored);
        throw Failure{kExitFileError, "cannot replace " + path + ": " + error.message()};
    }
}

bool HasSignature(std::string_view text) {
    return text.starts_with(kSiteListSignature) &&
           text.substr(kSiteListSignature.size()).starts_with("\r\n\r\n");
}

enum class Direction { kEncrypt, kDecrypt };

std::string Cipher(std::string bytes, Direction direction) {
    auto* buffer = reinterpret_cast<std::uint8_t*>(bytes.data());
    const SiteListCipher cipher;
    if (direction == Direction::kEncrypt) {
        cipher.Encrypt(buffer, bytes.size());
    } else {
        cipher.Decrypt(buffer, bytes.size());
    }
    return bytes;
}

// The plain text of a site list file, read plain or encrypted; the message of a file that
// is no site list that way says whether the other way would have worked.
std::string LoadSiteListText(const std::string& path, bool encrypted) {
    const std::string bytes = ReadFileBytes(path);
    std::string text = encrypted ? Cipher(bytes, Direction::kDecrypt) : bytes;
    if (HasSignature(text)) {
        return text;
    }
    const bool otherWayWorks = HasSignature(encrypted ? bytes : Cipher(bytes, Direction::kDecrypt));
    std::string message = path + " is not ";
    if (!otherWayWorks) {
        message += "a site list";
    } else if (encrypted) {
        message += "an encrypted site list, but a plain one";
    } else {
        message += "a plain site list, but an encrypted one";
    }
    throw Failure{kExitNotSiteList, message};
}

bool ReadsEncrypted(const std::string& path, Reading reading) {
    if (reading == Reading::kByPath) {
        return !IsPlainSiteListPath(path);
    }
    return reading == Reading::kEncrypted;
}

// Prints rows padded to column width; columns marked 'r' are aligned right. The last column
// is not padded.
void PrintTable(const std::vector<std::vector<std::string>>& rows, std::string_view alignment) {
    std::vector<std::size_t> widths(alignment.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const auto& row : rows) {
        std::string line = "  ";
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string& cell = row[column];
            const std::string padding(widths[column] - cell.size(), ' ');
            const bool last = column + 1 == row.size();
            if (alignment[column] == 'r') {
                line += padding + cell;
            } else {
                line += last ? cell : cell + padding;
            }
            if (!last) {
                line += "  ";
            }
        }
        std::cout << line << '\n';
    }
}

int List(const std::string& path, Reading reading) {
    const std::string text = LoadSiteListText(path, ReadsEncrypted(path, reading));
    SiteCatalogue catalogue;
    SiteCategoryList categories;
    ParseSiteList(text, catalogue, &categories);

    std::cout << "Categories: " << categories.size() << '\n';
    std::vector<std::vector<std::string>> rows{{"INDEX", "NAME"}};
    for (std::size_t index = 0; index < categories.size(); ++index) {
        rows.push_back({std::to_string(index), categories[index].name});
    }
    PrintTable(rows, "rl");

    std::cout << "\nSites: " << catalogue.Size() << '\n';
    rows = {{"ID", "CAT", "CATEGORY", "FLAG", "NAME", "URL"}};
    for (const auto& [id, site] : catalogue) {
        const bool known =
            site.category >= 0 && static_cast<std::size_t>(site.category) < categories.size();
        rows.push_back({std::to_string(id), std::to_string(site.category),
                        known ? categories[static_cast<std::size_t>(site.category)].name : "?",
                        site.reservedFlag ? "1" : "0", site.name, site.url});
    }
    PrintTable(rows, "rrlrll");
    return kExitOk;
}

// Lines ended by CR LF, counted from 1; what follows the last CR LF is the rest.
class LineScanner {
public:
    explicit LineScanner(std::string_view text) : text_(text) {}

    // The next whole line; false, consuming nothing, when no CR LF follows.
    bool Next(std::string_view& line) {
        const std::size_t end = text_.find(kLineEnd, position_);
        if (end == std::string_view::npos) {
            return false;
        }
        line = text_.substr(position_, end - position_);
        position_ = end + kLineEnd.size();
        ++lineNumber_;
        return true;
    }
    std::size_t NextLineNumber() const { return lineNumber_ + 1; }
    bool AtEnd() const { return position_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t lineNumber_ = 0;
};

// A number line as the program writes it: an optional minus and decimal digits.
bool IsPlainNumber(std::string_view line) {
    if (line.starts_with('-')) {
        line.remove_prefix(1);
    }
    return !line.empty() && line.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsWebUrl(std::string_view url) {
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (url.size() < scheme.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < scheme.size() && same; ++i) {
            const char c = url[i];
            same = (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == scheme[i];
        }
        if (same) {
            return true;
        }
    }
    return false;
}

int Check(const std::string& path, Reading reading) {
    const std::string loaded = LoadSiteListText(path, ReadsEncrypted(path, reading));
    std::string_view text = loaded;

    std::size_t problems = 0;
    auto report = [&](std::size_t line, const std::string& message) {
        std::cout << path << ':' << line << ": " << message << '\n';
        ++problems;
    };

    // The program reads no further than a zero byte.
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) {
        text = text.substr(0, zero);
        std::size_t line = 1;
        for (std::size_t at = text.find(kLineEnd); at != std::string_view::npos;
             at = text.find(kLineEnd, at + kLineEnd.size())) {
            ++line;
        }
        report(line, "zero byte; the program ignores it and everything after it");
    }

    LineScanner lines(text);
    std::string_view line;
    lines.Next(line);  // signature
    lines.Next(line);  // empty line
    std::size_t categoryCount = 0;
    while (lines.Next(line) && !line.empty()) {
        ++categoryCount;
    }

    std::map<SiteId, std::size_t> firstLineOfId;
    std::size_t siteCount = 0;
    for (;;) {
        const std::size_t first = lines.NextLineNumber();
        std::string_view field[5];
        int complete = 0;
        while (complete < 5 && lines.Next(field[complete])) {
            ++complete;
        }
        if (complete < 5) {
            if (complete > 0 || !lines.AtEnd()) {
                report(first, "last record is cut short (" + std::to_string(complete) +
                                  " of 5 lines ended); the program ignores it");
            }
            break;
        }
        ++siteCount;

        const SiteId id = ReadDecimal(field[0]);
        if (!IsPlainNumber(field[0])) {
            report(first, "id \"" + std::string(field[0]) + "\" is not a plain number (reads as " +
                              std::to_string(id) + ")");
        }
        const auto [previous, added] = firstLineOfId.emplace(id, first);
        if (!added) {
            report(first, "id " + std::to_string(id) + " used again (first at line " +
                              std::to_string(previous->second) + "); the program keeps the first");
        }

        const std::int32_t category = ReadDecimal(field[1]);
        if (!IsPlainNumber(field[1])) {
            report(first + 1, "category \"" + std::string(field[1]) +
                                  "\" is not a plain number (reads as " + std::to_string(category) +
                                  ")");
        }
        if (category < 0 || static_cast<std::size_t>(category) >= categoryCount) {
            report(first + 1, "category " + std::to_string(category) +
                                  " is not in the category list (" + std::to_string(categoryCount) +
                                  " categories)");
        }

        const std::string_view name = field[2];
        if (name.empty()) {
            report(first + 2, "empty name");
        } else if (name.size() > kMaxNameLength) {
            report(first + 2, "name of " + std::to_string(name.size()) +
                                  " characters; the site properties dialog holds " +
                                  std::to_string(kMaxNameLength));
        }

        const std::string_view url = field[3];
        if (url.empty()) {
            report(first + 3, "empty URL");
        } else if (!IsWebUrl(url)) {
            report(first + 3, "URL does not start with http:// or https://");
        }
        if (url.size() > kMaxUrlLength) {
            report(first + 3, "URL of " + std::to_string(url.size()) +
                                  " characters; the site properties dialog holds " +
                                  std::to_string(kMaxUrlLength));
        }
    }

    if (problems == 0) {
        std::cout << path << ": " << categoryCount << " categories, " << siteCount
                  << " sites, no problems found\n";
        return kExitOk;
    }
    std::cout << path << ": " << problems << (problems == 1 ? " problem" : " problems")
              << " found\n";
    return kExitProblems;
}

int Decrypt(const std::string& in, const std::string& out) {
    ReplaceFile(out, LoadSiteListText(in, true));
    return kExitOk;
}

int Encrypt(const std::string& in, const std::string& out) {
    const std::string text = LoadSiteListText(in, false);
    if (IsPlainSiteListPath(out)) {
        std::cerr << "qhsl: warning: the program reads " << out
                  << " as plain text, since its path contains " << kExchangeFileName << '\n';
    }
    ReplaceFile(out, Cipher(text, Direction::kEncrypt));
    return kExitOk;
}

int Run(const std::vector<std::string>& arguments) {
    Reading reading = Reading::kByPath;
    std::vector<std::string> operands;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return kExitOk;
        }
        if (argument == "--plain" || argument == "--encrypted") {
            const Reading wanted = argument == "--plain" ? Reading::kPlain : Reading::kEncrypted;
            if (reading != Reading::kByPath && reading != wanted) {
                throw Failure{kExitUsage, "--plain and --encrypted exclude each other"};
            }
            reading = wanted;
        } else if (argument.size() > 1 && argument[0] == '-') {
            throw Failure{kExitUsage, "unknown option " + argument};
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.empty()) {
        throw Failure{kExitUsage, "no command given"};
    }

    const std::string& command = operands[0];
    const std::vector<std::string> files(operands.begin() + 1, operands.end());
    auto requireFiles = [&](std::size_t count) {
        if (files.size() != count) {
            throw Failure{kExitUsage, command + " takes " +
                                          (count == 1 ? "one file" : "two files") + ", not " +
                                          std::to_string(files.size())};
        }
    };
    if (command == "list") {
        requireFiles(1);
        return List(files[0], reading);
    }
    if (command == "check") {
        requireFiles(1);
        return Check(files[0], reading);
    }
    if (command == "decrypt") {
        requireFiles(2);
        return Decrypt(files[0], files[1]);
    }
    if (command == "encrypt") {
        requireFiles(2);
        return Encrypt(files[0], files[1]);
    }
    throw Failure{kExitUsage, "unknown command " + command};
}

}  // namespace
}  // namespace vp

int main(int argc, char** argv) {
    try {
        return vp::Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const vp::Failure& failure) {
        std::cerr << "qhsl: " << failure.message;
        if (failure.exitCode == vp::kExitUsage) {
            std::cerr << " (see qhsl --help)";
        }
        std::cerr << '\n';
        return failure.exitCode;
    } catch (const std::exception& error) {
        std::cerr << "qhsl: " << error.what() << '\n';
        return vp::kExitProblems;
    }
}
