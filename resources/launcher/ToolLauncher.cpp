// Stands in the resource folder for an external tool and replaces itself with
// the real program found when the build was configured, passing every
// argument on unchanged. Being a program rather than a shell script, it lets
// the children of the application run without any shell in between.
//
// Built once per tool: ZEV_REAL_PROGRAM names the program to run, and for
// ImageMagick ZEV_MAGICK_CONFIGURE_FOLDER names, relative to this launcher's
// own folder, the folder holding the policy.xml shipped with the resources.

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#ifndef ZEV_REAL_PROGRAM
#error "ZEV_REAL_PROGRAM must name the program to run"
#endif

namespace {

#ifdef ZEV_MAGICK_CONFIGURE_FOLDER
std::string ownFolder() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {};
    const std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/'));
}

// ImageMagick 6 reads every policy.xml on its configure path, and for each
// resource limit the first file that names it wins. MAGICK_CONFIGURE_PATH is
// searched before the system folder (/etc/ImageMagick-6), so the shipped
// policy's limits replace the stock ones, while the stock file's other rules
// (the coders and paths it forbids) still apply. The MAGICK_*_LIMIT variables
// and -limit could not do this: they only lower a limit below the policy's.
void useShippedPolicy() {
    const std::string folder = ownFolder();
    if (folder.empty())
        return;
    std::string searchPath = folder + "/" ZEV_MAGICK_CONFIGURE_FOLDER;
    char resolved[PATH_MAX];
    if (realpath(searchPath.c_str(), resolved))
        searchPath = resolved;
    const char* inherited = getenv("MAGICK_CONFIGURE_PATH");
    if (inherited && *inherited)
        searchPath += std::string(":") + inherited;
    setenv("MAGICK_CONFIGURE_PATH", searchPath.c_str(), 1);
}
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef ZEV_MAGICK_CONFIGURE_FOLDER
    useShippedPolicy();
#endif
    std::vector<char*> arguments(argv, argv + argc);
    arguments.push_back(nullptr);
    arguments[0] = const_cast<char*>(ZEV_REAL_PROGRAM);
    execv(ZEV_REAL_PROGRAM, arguments.data());
    std::fprintf(stderr, "%s: cannot run %s: %s\n", argv[0], ZEV_REAL_PROGRAM, std::strerror(errno));
    return 127;
}
