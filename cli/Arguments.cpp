#include "cli/Arguments.h"

#include <optional>

#include "engine/DecimalText.h"

namespace quillery {

std::optional<std::uint64_t> ParseDecimal(const std::string& text, std::uint64_t max) {
    // An argument longer than the largest number is refused before it is read.
    if (text.size() > 20) {
        return std::nullopt;
    }
    return ParseDecimalDigits(text, max);
}

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    bool haveDictionary = false;
    bool haveInput = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        // "--name=value" as well as "--name value".
        std::optional<std::string> attached;
        const std::size_t equals = arg.find('=');
        if (!optionsEnded && arg.starts_with("--") && equals != std::string::npos) {
            attached = arg.substr(equals + 1);
            arg.resize(equals);
        }
        const auto value = [&]() -> const std::string* {
            if (attached) {
                return &*attached;
            }
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        // "-" is standard input; after "--" every argument is a file.
        const bool isFile = optionsEnded || arg == "-" || !arg.starts_with("-");
        if (!isFile && attached && (arg == "--help" || arg == "--version" || arg == "--mark")) {
            parsed.error = arg + " takes no value";
            return parsed;
        }
        if (isFile) {
            if (haveInput) {
                parsed.error = "only one INPUT file may be given";
                return parsed;
            }
            parsed.options.input = arg == "-" ? std::string() : arg;
            haveInput = true;
        } else if (arg == "--" && !attached) {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            return parsed;
        } else if (arg == "--version") {
            parsed.version = true;
            return parsed;
        } else if (arg == "--mark") {
            parsed.options.mark = true;
        } else if (arg == "--dictionary" || arg == "--ratio" || arg == "--seed" ||
                   arg == "--encoding") {
            const std::string* v = value();
            if (v == nullptr) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            if (arg == "--dictionary") {
                parsed.options.dictionary = *v;
                haveDictionary = true;
            } else if (arg == "--encoding") {
                if (*v == "cp932") {
                    parsed.options.encoding = Encoding::kCp932;
                } else if (*v == "utf-8") {
                    parsed.options.encoding = Encoding::kUtf8;
                } else {
                    parsed.error = "--encoding must be cp932 or utf-8: " + *v;
                    return parsed;
                }
            } else if (arg == "--ratio") {
                const auto ratio = ParseDecimal(*v, 10);
                if (!ratio) {
                    parsed.error = "--ratio must be a number from 0 to 10: " + *v;
                    return parsed;
                }
                parsed.options.ratio = static_cast<std::int32_t>(*ratio);
            } else {
                const auto seed = ParseDecimal(*v, 4294967295u);
                if (!seed) {
                    parsed.error = "--seed must be a number from 0 to 4294967295: " + *v;
                    return parsed;
                }
                parsed.options.seed = static_cast<std::uint32_t>(*seed);
            }
        } else {
            parsed.error = "unknown option " + arg;
            return parsed;
        }
    }
    if (!haveDictionary || parsed.options.dictionary.empty()) {
        parsed.error = "--dictionary FILE is required";
    }
    return parsed;
}

std::string VersionLine() {
    return "quillery-convert (Quillery Mini) " QUILLERY_VERSION;
}

}  // namespace quillery
