// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stdio.h"

#include "cli/cli.h"

#include <cerrno>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace lexorne::cli::detail {

namespace {

constexpr int kStdin = 0;
constexpr int kStdout = 1;
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

Input::Input(const QString &file)
{
    os::prepareStreams();
    if (file.isEmpty() || file == u"-"_s) {
        m_descriptor = kStdin;
        m_name = u"l'entrée standard"_s;
    } else {
        m_name = u"« %1 »"_s.arg(file);
        m_descriptor = os::openForReading(file);
        if (m_descriptor < 0) {
            m_error = openError(errno, file, m_name);
            return;
        }
        m_owned = true;
    }
    if (os::isFolder(m_descriptor))
        m_error = u"%1 est un dossier, pas un fichier"_s.arg(m_name);
}

Input::~Input()
{
    if (m_owned)
        os::closeFile(m_descriptor);
}

qint64 Input::read(char *buffer, qint64 size)
{
    if (!m_error.isEmpty())
        return -1;
    const qint64 n = os::readSome(m_descriptor, buffer, size);
    if (n < 0)
        m_error = u"impossible de lire %1 : %2"_s.arg(m_name, systemError(errno));
    return n;
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
