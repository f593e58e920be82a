// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stdio.h"

#include "cli/cli.h"

#include <QScopeGuard>

#include <cerrno>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace lexorne::cli::detail {

namespace {

constexpr int kStdin = 0;
constexpr int kStdout = 1;
constexpr qsizetype kFirstPiece = qsizetype{64} * 1024;

QString tooLarge(const QString &name)
{
    return u"%1 dépasse %2 Mio, la taille la plus grande que lexorne accepte"_s.arg(
        name, QString::number(kMaxInputBytes / (qsizetype{1024} * 1024)));
}

QString openError(int error, const QString &file, const QString &name)
{
    switch (error) {
    case ENOENT:
        return u"fichier introuvable : %1"_s.arg(file);
    case EISDIR:
        return u"%1 est un dossier, pas un fichier"_s.arg(name);
    default:
        return u"impossible d'ouvrir %1 : %2"_s.arg(name, systemError(error));
    }
}

// Reads all of descriptor, named name in messages, up to the bound.
Input readAll(int descriptor, const QString &name)
{
    if (os::isFolder(descriptor))
        return {{}, u"%1 est un dossier, pas un fichier"_s.arg(name)};
    const qint64 size = os::regularFileSize(descriptor);
    if (size > kMaxInputBytes)
        return {{}, tooLarge(name)};

    // A file's size is known: one allocation, and one byte more to see its
    // end. A stream grows by doubling, so memory stays within twice the
    // input.
    QByteArray bytes(size >= 0 ? qsizetype(size) + 1 : kFirstPiece, Qt::Uninitialized);
    qsizetype length = 0;
    for (;;) {
        if (length == bytes.size()) {
            if (length > kMaxInputBytes)
                return {{}, tooLarge(name)};
            bytes.resize(qMin(2 * length, kMaxInputBytes + 1));
        }
        const qint64 n = os::readSome(descriptor, bytes.data() + length, bytes.size() - length);
        if (n < 0)
            return {{}, u"impossible de lire %1 : %2"_s.arg(name, systemError(errno))};
        if (n == 0)
            break;
        length += qsizetype(n);
    }
    bytes.truncate(length);
    return {std::move(bytes), {}};
}

void appendEscaped(QString &text, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qsizetype valid = firstInvalidUtf8(bytes).value_or(bytes.size());
        text += QString::fromUtf8(bytes.first(valid));
        if (valid == bytes.size())
            return;
        text += QChar(char16_t(0xDC00 + quint8(bytes[valid])));
        bytes = bytes.sliced(valid + 1);
    }
}

} // namespace

Input readInput(const QString &file)
{
    os::prepareStreams();
    if (file.isEmpty() || file == u"-"_s)
        return readAll(kStdin, u"l'entrée standard"_s);

    const QString name = u"« %1 »"_s.arg(file);
    const int descriptor = os::openForReading(file);
    if (descriptor < 0)
        return {{}, openError(errno, file, name)};
    const auto close = qScopeGuard([descriptor] { os::closeFile(descriptor); });
    return readAll(descriptor, name);
}

std::optional<QString> writeOutput(QByteArrayView bytes)
{
    os::prepareStreams();
    while (!bytes.isEmpty()) {
        const qint64 n = os::writeSome(kStdout, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EPIPE)
                return QString();
            return u"impossible d'écrire sur la sortie standard : %1"_s.arg(systemError(errno));
        }
        bytes = bytes.sliced(qsizetype(n));
    }
    return std::nullopt;
}

void writeError(const QString &message)
{
    const QByteArray line = (u"lexorne : "_s + message + u'\n').toUtf8();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
}

QString systemError(int error)
{
    switch (error) {
    case ENOENT:
        return u"fichier ou dossier introuvable"_s;
    case EACCES:
    case EPERM:
        return u"permission refusée"_s;
    case EISDIR:
        return u"c'est un dossier"_s;
    case ENOTDIR:
        return u"un élément du chemin n'est pas un dossier"_s;
    case ENAMETOOLONG:
        return u"nom trop long"_s;
    case ENOSPC:
        return u"plus de place sur le disque"_s;
#ifdef EDQUOT
    case EDQUOT:
        return u"quota de disque dépassé"_s;
#endif
    case EFBIG:
        return u"fichier trop grand"_s;
    case EROFS:
        return u"système de fichiers en lecture seule"_s;
    case EPIPE:
        return u"le lecteur de la sortie est parti"_s;
    case EBADF:
        return u"flux fermé"_s;
    case EIO:
        return u"erreur d'entrée-sortie du périphérique"_s;
    case ENXIO:
    case ENODEV:
        return u"périphérique absent"_s;
    case EAGAIN:
        return u"flux non bloquant sans données prêtes"_s;
    case ENOMEM:
        return u"mémoire insuffisante"_s;
    case EMFILE:
    case ENFILE:
        return u"trop de fichiers ouverts"_s;
#ifdef ELOOP
    case ELOOP:
        return u"trop de liens symboliques"_s;
#endif
    default:
        return u"erreur système n° %1"_s.arg(error);
    }
}

QString decodeArgument(QByteArrayView bytes)
{
    QString text;
    appendEscaped(text, bytes);
    return text;
}

QByteArray fileNameBytes(const QString &name)
{
    QByteArray bytes;
    qsizetype from = 0;
    const auto flush = [&](qsizetype to) {
        bytes += QStringView(name).sliced(from, to - from).toUtf8();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            ++i; // a character beyond U+FFFF, written as it is
            continue;
        }
        if (c >= 0xDC80 && c <= 0xDCFF) {
            flush(i);
            bytes += char(c - 0xDC00);
            from = i + 1;
        }
    }
    flush(name.size());
    return bytes;
}

} // namespace lexorne::cli::detail
