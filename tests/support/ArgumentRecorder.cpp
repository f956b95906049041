// A stand-in for convert or ffmpeg that records how it was called. Every
// behaviour is chosen through the environment, which the child inherits from
// the test:
//   ZEV_RECORD_DIR           folder receiving one file per call; the file names
//                            sort in the order the calls started, and each file
//                            holds the arguments after argv[0], each followed by
//                            a NUL byte (read back with RecordedCalls)
//   ZEV_RECORD_STDERR_BYTES  first write that many bytes of UTF-8 text to stderr
//   ZEV_RECORD_SKIP          when any argument contains this text, exit 1 after
//                            recording, running nothing
//   ZEV_RECORD_EXEC          then replace this process with that program, same
//                            arguments, so a call is recorded and still done
//   ZEV_RECORD_EXIT          otherwise exit with this status (default 0)

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

bool writeAll(int descriptor, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

void writeErrorText(long bytes) {
    if (bytes <= 0)
        return;
    static const std::string line = "recorder: some text on standard error, 和一些中文\n";
    const long lineBytes = static_cast<long>(line.size());
    std::string text;
    text.reserve(static_cast<size_t>(bytes));
    while (static_cast<long>(text.size()) + lineBytes <= bytes)
        text += line;
    // ASCII dots make up the rest, so the text stays valid UTF-8.
    text.append(static_cast<size_t>(bytes) - text.size(), '.');
    writeAll(STDERR_FILENO, text);
}

// Written under a hidden name and renamed, so a reader never sees half a call.
bool record(const char* folder, int argc, char** argv) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char name[64];
    std::snprintf(name, sizeof name, "%020llu-%d",
                  static_cast<unsigned long long>(now.tv_sec) * 1000000000ULL +
                      static_cast<unsigned long long>(now.tv_nsec),
                  static_cast<int>(getpid()));
    std::string content;
    for (int i = 1; i < argc; ++i) {
        content += argv[i];
        content += '\0';
    }
    const std::string finalPath = std::string(folder) + "/" + name;
    const std::string partPath = std::string(folder) + "/." + name + ".part";
    const int descriptor = open(partPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (descriptor < 0)
        return false;
    const bool written = writeAll(descriptor, content);
    return close(descriptor) == 0 && written && rename(partPath.c_str(), finalPath.c_str()) == 0;
}

bool anyArgumentContains(int argc, char** argv, const char* text) {
    for (int i = 1; i < argc; ++i) {
        if (std::strstr(argv[i], text))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (const char* bytes = environment("ZEV_RECORD_STDERR_BYTES"))
        writeErrorText(std::atol(bytes));
    if (const char* folder = environment("ZEV_RECORD_DIR")) {
        if (!record(folder, argc, argv)) {
            std::fprintf(stderr, "recorder: cannot record into %s: %s\n", folder, std::strerror(errno));
            return 2;
        }
    }
    if (const char* skip = environment("ZEV_RECORD_SKIP"); skip && anyArgumentContains(argc, argv, skip))
        return 1;
    if (const char* program = environment("ZEV_RECORD_EXEC")) {
        std::vector<char*> arguments(argv, argv + argc);
        arguments.push_back(nullptr);
        arguments[0] = const_cast<char*>(program);
        execv(program, arguments.data());
        std::fprintf(stderr, "recorder: cannot run %s: %s\n", program, std::strerror(errno));
        return 127;
    }
    const char* status = environment("ZEV_RECORD_EXIT");
    return status ? std::atoi(status) : 0;
}
