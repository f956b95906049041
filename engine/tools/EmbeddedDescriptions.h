#pragma once

#include "core/Result.h"
#include "output/MarkedDescription.h"
#include "output/VapcDescription.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <optional>

namespace zev {

class Cancellation;

// The descriptions other players read inside an MP4 file: the "vapc" box
// right after "ftyp", and the marked text, kept in the metadata of the index
// (its "desc" item, which FFmpeg shows as the "description" tag and keeps
// through a stream copy). Writing puts the box in before the index and the
// frames, so every chunk offset the index holds moves by as much: they are
// patched ("stco", or "co64" where an offset outgrows 32 bits), and the
// frames' bytes stay as they were.
class EmbeddedDescriptions {
    Q_DECLARE_TR_FUNCTIONS(EmbeddedDescriptions)

public:
    struct Written {
        std::optional<VapcDescription> vapc;
        std::optional<MarkedDescription> marked;
    };

    // What a file holds: each description read, or why it cannot be, or
    // nothing when it has none.
    struct Found {
        std::optional<Result<VapcDescription>> vapc;
        // A vapc box somewhere else than right after ftyp, where no player
        // looks.
        bool vapcMisplaced = false;
        std::optional<Result<MarkedDescription>> marked;
        // Where the marked text starts in the file.
        qint64 markedAt = -1;
    };

    // The index may be at most this large to be rewritten in memory.
    static constexpr qint64 kMaxIndexBytes = qint64(256) << 20;
    static constexpr qint64 kMaxVapcBytes = 1 << 20;

    // Writes a copy of from at to with the descriptions (replacing any it
    // had); a description left unset is taken out. A fragmented MP4 file or
    // one without its index is refused.
    static Result<> write(const QString& from, const QString& to, const Written& descriptions,
                          const Cancellation* cancellation = nullptr);
    static Found read(const QString& path);
    // Whether what a file holds is what was written.
    static Result<> check(const QString& path, const Written& written);
};

} // namespace zev
