#include "tools/EmbeddedDescriptions.h"

#include "core/Cancellation.h"
#include "tools/Mp4BoxTree.h"
#include "tools/Mp4Boxes.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

namespace zev {

namespace {

constexpr qint64 kCopyPiece = qint64(1) << 20;
const QByteArray kDescriptionItem = QByteArrayLiteral("desc");

QByteArray be32(quint32 value) {
    char buffer[4];
    qToBigEndian(value, buffer);
    return QByteArray(buffer, 4);
}

// A metadata handler as MP4 files name it: "mdir", made by "appl".
QByteArray metadataHandler() {
    return be32(0) + be32(0) + QByteArrayLiteral("mdirappl") + be32(0) + be32(0) + QByteArray(1, '\0');
}

// An item's value: UTF-8 text (type 1), no locale.
QByteArray textItem(const QByteArray& text) {
    return Mp4BoxTree::leaf(QByteArrayLiteral("data"), be32(1) + be32(0) + text).serialise();
}

void setMarkedText(Mp4BoxTree& moov, const std::optional<QByteArray>& text) {
    if (!text) {
        if (Mp4BoxTree* udta = moov.child("udta"))
            if (Mp4BoxTree* meta = udta->child("meta"))
                if (Mp4BoxTree* ilst = meta->child("ilst"))
                    ilst->removeChildren(kDescriptionItem);
        return;
    }
    Mp4BoxTree& udta = moov.childOrNew("udta", true);
    Mp4BoxTree* meta = udta.child("meta");
    if (!meta) {
        meta = &udta.childOrNew("meta", true, be32(0));
        meta->children.append(Mp4BoxTree::leaf("hdlr", metadataHandler()));
    }
    Mp4BoxTree& ilst = meta->childOrNew("ilst", true);
    ilst.removeChildren(kDescriptionItem);
    ilst.children.append(Mp4BoxTree::leaf(kDescriptionItem, textItem(*text)));
}

// A piece of the written file: a box copied from the source, or new bytes.
struct Piece {
    std::optional<Mp4Boxes::Box> source;
    QByteArray bytes;
    qint64 size() const { return source ? source->size : bytes.size(); }
};

struct Plan {
    QList<Piece> pieces;
    int indexPiece = -1;
};

Plan planPieces(const QList<Mp4Boxes::Box>& boxes, const std::optional<VapcDescription>& vapc) {
    Plan plan;
    plan.pieces.append(Piece{boxes.first(), {}});
    if (vapc)
        plan.pieces.append(
            Piece{std::nullopt, Mp4BoxTree::leaf(VapcDescription::kBoxType, vapc->toJson()).serialise()});
    for (const Mp4Boxes::Box& box : boxes.mid(1)) {
        if (box.type == VapcDescription::kBoxType)
            continue;
        if (box.type == "moov")
            plan.indexPiece = int(plan.pieces.size());
        plan.pieces.append(Piece{box, {}});
    }
    return plan;
}

// Gives every chunk offset the place its bytes take in the written file, and
// the index its new size, until the two agree: an offset that outgrows 32
// bits widens its box, which moves the frames again.
Result<> placeChunks(Mp4BoxTree& moov, Plan& plan) {
    const QList<Mp4BoxTree*> tables = moov.all("stco") + moov.all("co64");
    QList<QList<quint64>> originals;
    for (const Mp4BoxTree* table : tables) {
        const std::optional<QList<quint64>> offsets = table->chunkOffsets();
        if (!offsets)
            return Result<>::failure(EmbeddedDescriptions::tr("the index's chunk offsets are cut short"));
        originals.append(*offsets);
    }
    for (int round = 0; round < 4; ++round) {
        const QByteArray index = moov.serialise();
        plan.pieces[plan.indexPiece].bytes = index;
        QList<std::pair<Mp4Boxes::Box, qint64>> moved; // each source box and where it now starts
        qint64 at = 0;
        for (const Piece& piece : std::as_const(plan.pieces)) {
            if (piece.source)
                moved.append({*piece.source, at});
            at += piece.source && piece.source->type == "moov" ? index.size() : piece.size();
        }
        for (qsizetype t = 0; t < tables.size(); ++t) {
            QList<quint64> offsets;
            for (const quint64 offset : originals.at(t)) {
                const auto holder = std::find_if(moved.cbegin(), moved.cend(), [offset](const auto& entry) {
                    return qint64(offset) >= entry.first.offset &&
                           qint64(offset) < entry.first.offset + entry.first.size;
                });
                if (holder == moved.cend() || holder->first.type == "moov")
                    return Result<>::failure(
                        EmbeddedDescriptions::tr("a chunk offset of the index (%1) lies outside the frames")
                            .arg(offset));
                offsets.append(quint64(qint64(offset) - holder->first.offset + holder->second));
            }
            tables.at(t)->setChunkOffsets(offsets);
        }
        if (moov.serialisedSize() == index.size()) {
            plan.pieces[plan.indexPiece].bytes = moov.serialise();
            return Result<>::success();
        }
    }
    return Result<>::failure(EmbeddedDescriptions::tr("the index's chunk offsets do not settle"));
}

Result<> copyPieces(QFile& in, QFile& out, const Plan& plan, const Cancellation* cancellation) {
    for (int p = 0; p < plan.pieces.size(); ++p) {
        const Piece& piece = plan.pieces.at(p);
        if (p == plan.indexPiece || !piece.source) {
            if (out.write(piece.bytes) != piece.bytes.size())
                return Result<>::failure(out.errorString());
            continue;
        }
        if (!in.seek(piece.source->offset))
            return Result<>::failure(in.errorString());
        for (qint64 left = piece.source->size; left > 0;) {
            if (cancellation && cancellation->isRequested())
                return Result<>::failure(EmbeddedDescriptions::tr("stopped"));
            const QByteArray bytes = in.read(std::min(left, kCopyPiece));
            if (bytes.isEmpty() || out.write(bytes) != bytes.size())
                return Result<>::failure(bytes.isEmpty() ? in.errorString() : out.errorString());
            left -= bytes.size();
        }
    }
    return Result<>::success();
}

std::optional<Result<MarkedDescription>> findMarked(QFile& file, qint64* at) {
    const QByteArray& opening = MarkedDescription::kOpening;
    qint64 chunkStart = 0;
    QByteArray carried;
    while (!file.atEnd()) {
        const QByteArray chunk = carried + file.read(kCopyPiece);
        const qsizetype found = chunk.indexOf(opening);
        if (found >= 0) {
            *at = chunkStart - carried.size() + found;
            file.seek(*at);
            const QByteArray around = file.read(opening.size() + MarkedDescription::kMaxMarkedBytes +
                                                MarkedDescription::kClosing.size() + 1);
            const std::optional<MarkedDescription::Found> marked = MarkedDescription::find(around);
            if (!marked || !marked->closed)
                return Result<MarkedDescription>::failure(
                    EmbeddedDescriptions::tr("the marked description has no closing marker"));
            return MarkedDescription::fromMarkedText(marked->text);
        }
        chunkStart += chunk.size() - carried.size();
        carried = chunk.right(opening.size() - 1);
    }
    return std::nullopt;
}

} // namespace

Result<> EmbeddedDescriptions::write(const QString& from, const QString& to, const Written& descriptions,
                                     const Cancellation* cancellation) {
    const auto failed = [&from](const QString& why) {
        return Result<>::failure(tr("cannot write the players' descriptions into %1: %2").arg(from, why));
    };
    const QList<Mp4Boxes::Box> boxes = Mp4Boxes::read(from);
    if (boxes.isEmpty() || boxes.first().type != "ftyp")
        return failed(tr("it is not an MP4 file (it does not start with ftyp)"));
    const qint64 covered = boxes.last().offset + boxes.last().size;
    if (covered != QFileInfo(from).size())
        return failed(tr("its boxes end at byte %1 of %2").arg(covered).arg(QFileInfo(from).size()));
    const auto count = [&boxes](const char* type) {
        return std::count_if(boxes.cbegin(), boxes.cend(),
                             [type](const Mp4Boxes::Box& box) { return box.type == type; });
    };
    if (count("moof") > 0)
        return failed(tr("it is a fragmented MP4 file"));
    if (count("moov") != 1)
        return failed(tr("it holds %1 indexes (moov boxes), not one").arg(count("moov")));
    const Mp4Boxes::Box index = *std::find_if(boxes.cbegin(), boxes.cend(),
                                              [](const Mp4Boxes::Box& box) { return box.type == "moov"; });
    if (index.size > kMaxIndexBytes)
        return failed(tr("its index is %1 bytes, more than %2").arg(index.size).arg(kMaxIndexBytes));

    QFile in(from);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(index.offset))
        return failed(in.errorString());
    std::optional<Mp4BoxTree> moov = Mp4BoxTree::parse(in.read(index.size));
    if (!moov)
        return failed(tr("its index cannot be read"));
    setMarkedText(*moov, descriptions.marked ? std::optional(descriptions.marked->marked()) : std::nullopt);
    Plan plan = planPieces(boxes, descriptions.vapc);
    if (Result<> placed = placeChunks(*moov, plan); !placed)
        return failed(placed.reason());

    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed(tr("cannot write %1: %2").arg(to, out.errorString()));
    const Result<> copied = copyPieces(in, out, plan, cancellation);
    out.close();
    if (!copied) {
        QFile::remove(to);
        return failed(copied.reason());
    }
    return Result<>::success();
}

EmbeddedDescriptions::Found EmbeddedDescriptions::read(const QString& path) {
    Found found;
    const QList<Mp4Boxes::Box> boxes = Mp4Boxes::read(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return found;
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        const Mp4Boxes::Box& box = boxes.at(i);
        if (box.type != VapcDescription::kBoxType)
            continue;
        if (i != 1 || boxes.first().type != "ftyp") {
            found.vapcMisplaced = true;
            continue;
        }
        if (box.size - 8 > kMaxVapcBytes)
            found.vapc =
                Result<VapcDescription>::failure(tr("the vapc box is %1 bytes: too long").arg(box.size));
        else if (file.seek(box.offset + 8))
            found.vapc = VapcDescription::fromJson(file.read(box.size - 8));
    }
    if (file.seek(0))
        found.marked = findMarked(file, &found.markedAt);
    return found;
}

Result<> EmbeddedDescriptions::check(const QString& path, const Written& written) {
    const Found found = read(path);
    const bool vapcRight = written.vapc ? found.vapc && found.vapc->ok() && **found.vapc == *written.vapc
                                        : !found.vapc && !found.vapcMisplaced;
    if (!vapcRight)
        return Result<>::failure(tr("%1 does not hold the vapc box that was written into it").arg(path));
    const bool markedRight = written.marked
                                 ? found.marked && found.marked->ok() && **found.marked == *written.marked
                                 : !found.marked;
    if (!markedRight)
        return Result<>::failure(
            tr("%1 does not hold the marked description that was written into it").arg(path));
    return Result<>::success();
}

} // namespace zev
