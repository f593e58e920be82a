// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stdio.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

using namespace Qt::StringLiterals;

namespace lexorne::cli::detail {

namespace {

constexpr int kStdin = 0;
constexpr int kStdout = 1;

// Text mode would turn the quotation's CR LF into CR CR LF on Windows.
void makeBinary([[maybe_unused]] int descriptor)
{
#ifdef Q_OS_WIN
    _setmode(descriptor, _O_BINARY);
#endif
}

} // namespace

Input readInput(const QString &file)
{
    Input input;
    QFile source;
    QString name;
    if (file.isEmpty() || file == u"-"_s) {
        makeBinary(kStdin);
        name = u"l'entrée standard"_s;
        if (!source.open(kStdin, QIODevice::ReadOnly | QIODevice::Unbuffered,
                         QFileDevice::DontCloseHandle)) {
            input.error = u"impossible de lire l'entrée standard (%1)"_s.arg(source.errorString());
            return input;
        }
    } else {
        name = u"« %1 »"_s.arg(file);
        const QFileInfo info(file);
        if (!info.exists()) {
            input.error = u"fichier introuvable : %1"_s.arg(file);
            return input;
        }
        if (info.isDir()) {
            input.error = u"%1 est un dossier, pas un fichier"_s.arg(name);
            return input;
        }
        source.setFileName(file);
        if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            input.error = u"impossible d'ouvrir %1 (%2)"_s.arg(name, source.errorString());
            return input;
        }
    }
    input.bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        input.error = u"impossible de lire %1 (%2)"_s.arg(name, source.errorString());
        input.bytes.clear();
    }
    return input;
}

QString writeOutput(QByteArrayView bytes)
{
    makeBinary(kStdout);
    QFile sink;
    if (!sink.open(kStdout, QIODevice::WriteOnly | QIODevice::Unbuffered,
                   QFileDevice::DontCloseHandle))
        return u"impossible d'écrire sur la sortie standard (%1)"_s.arg(sink.errorString());
    if (sink.write(bytes.data(), bytes.size()) != bytes.size() || !sink.flush())
        return u"impossible d'écrire sur la sortie standard (%1)"_s.arg(sink.errorString());
    return {};
}

void writeError(const QString &message)
{
    const QByteArray line = (u"lexorne : "_s + message + u'\n').toUtf8();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace lexorne::cli::detail
