#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

// The scratch folders of a conversion live in a private folder of the user
// below the temporary folder, "<temp>/zev-<uid>". The temporary folder is
// shared by every user of the machine, so the private folder is only used
// when it is a real folder (not a symbolic link) owned by this user: anyone
// else could otherwise read the frames or make us delete or write elsewhere.
// Paths are computed afresh on every call; nothing is cached.
class ScratchFolders {
    Q_DECLARE_TR_FUNCTIONS(ScratchFolders)

public:
    // temporaryFolder() + "/zev-" + the numeric user id.
    static QString userFolder();
    // TMPDIR when it is an absolute path to a folder, else /tmp, with links
    // resolved.
    static QString temporaryFolder();

    // Creates the user folder with mode 0700 when missing, and narrows an
    // existing one of ours to 0700. Fails (and logs with qWarning) when what
    // stands there is not a folder, is a symbolic link, or is not owned by
    // this user; such a folder is never used.
    static Result<> prepareUserFolder();

    // The three scratch folders of a run, inside its own folder (RunFolder).
    // Without one, where earlier versions kept them, shared by every run,
    // directly in the user folder. Nothing is created.
    static QString alphaImagesDirectoryPath(const QString& runFolder = userFolder());
    static QString rgbImagesDirectoryPath(const QString& runFolder = userFolder());
    static QString appendImagesDirectoryPath(const QString& runFolder = userFolder());

    // Removes the folder with everything in it and creates it again, but only
    // for a folder directly inside a user folder that prepareUserFolder()
    // accepts, or directly inside a run's folder there ("run-…", itself a
    // real folder). A symbolic link standing at the folder's path is removed
    // itself, never followed, and links inside the folder are removed, not
    // their targets. Succeeds when an empty real folder now stands there.
    static Result<> rebuild(const QString& folder);

private:
    static Result<> refuse(const QString& why);
    static Result<> removeEntry(const QString& path);
    static bool isEmptyRealFolder(const QString& path);
    static bool isScratchParent(const QString& folder);
};

} // namespace zev
