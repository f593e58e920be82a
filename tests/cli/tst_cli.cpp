// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built program on the command line as a script would: no display,
// a user of its own whose folders must stay as they were, exact bytes out.
#include "app/singleinstance.h"
#include "cli/cli.h"

#include "tests/support/testsupport.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct Outcome
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// A user with home, settings, data, cache and runtime folders of its own,
// and a working folder for the input files.
class Sandbox
{
public:
    Sandbox()
    {
        for (const char16_t *folder : kUserFolders)
            QDir(m_root.path()).mkpath(QString::fromUtf16(folder));
        QDir(m_root.path()).mkpath(u"work"_s);
    }

    QString runtime() const { return m_runtime.path(); }
    QString work() const { return m_root.filePath(u"work"_s); }

    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(QDir(work()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // No display of any kind and no platform plugin chosen: a program that
    // built a window here would fail.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s,
                                    u"XDG_ACTIVATION_TOKEN"_s, u"DESKTOP_STARTUP_ID"_s})
            env.remove(name);
        env.insert(u"HOME"_s, m_root.filePath(u"home"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, m_root.filePath(u"config"_s));
        env.insert(u"XDG_DATA_HOME"_s, m_root.filePath(u"data"_s));
        env.insert(u"XDG_CACHE_HOME"_s, m_root.filePath(u"cache"_s));
        env.insert(u"XDG_STATE_HOME"_s, m_root.filePath(u"state"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime());
        return env;
    }

    // Everything in the user's folders; the working folder aside.
    QStringList userFiles() const
    {
        QStringList folders{runtime()};
        for (const char16_t *folder : kUserFolders)
            folders << m_root.filePath(QString::fromUtf16(folder));
        QStringList files;
        for (const QString &folder : folders) {
            QDirIterator it(folder,
                            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        }
        return files;
    }

    // Runs the program; output goes to the file stdoutFile when one is given.
    Outcome run(const QStringList &arguments, const QByteArray &input = {},
                const QString &stdoutFile = {}) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment ? *m_environment : environment());
        process.setWorkingDirectory(work());
        // Through a file: QProcess gathers megabytes of output slowly.
        const QString outFile = m_root.filePath(u"stdout"_s);
        process.setStandardOutputFile(stdoutFile.isEmpty() ? outFile : stdoutFile);
        process.start(m_program, arguments);
        Outcome outcome;
        if (!process.waitForStarted(10000))
            return outcome;
        process.write(input);
        process.closeWriteChannel();
        // An event loop meanwhile, so that a copy listening in this process
        // would answer any request.
        QDeadlineTimer deadline(60000);
        while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            process.waitForFinished(10);
        }
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            return outcome;
        }
        if (process.exitStatus() == QProcess::NormalExit)
            outcome.status = process.exitCode();
        if (QFile out(outFile); stdoutFile.isEmpty() && out.open(QIODevice::ReadOnly))
            outcome.out = out.readAll();
        outcome.err = process.readAllStandardError();
        return outcome;
    }

    // Another copy of the program, in another environment.
    void setProgram(const QString &program, const QProcessEnvironment &environment)
    {
        m_program = program;
        m_environment = environment;
    }

private:
    static constexpr std::array kUserFolders{u"home", u"config", u"data", u"cache", u"state"};
    QString m_program = QStringLiteral(LEXORNE_BINARY);
    std::optional<QProcessEnvironment> m_environment;
    QTemporaryDir m_root;
    lexorne::testsupport::RuntimeFolder m_runtime;
};

// One line in French on standard error, naming what is wrong.
void checkMessage(const QByteArray &err, const QByteArray &names)
{
    QVERIFY2(err.startsWith("lexorne : "), err.constData());
    QVERIFY2(err.endsWith('\n') && err.count('\n') == 1, err.constData());
    QVERIFY2(err.contains(names), err.constData());
}

const QByteArray kColourNames = QByteArray("Rouge foncé, Rouge, Orange, Marron, Jaune, Vert, "
                                           "Olive, Cyan, Bleu, Bleu foncé, Indigo, Violet, "
                                           "Blanc, Noir");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("file"); // written to "citation.txt"
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");   // success: the exact bytes
        QTest::addColumn<QByteArray>("names"); // failure: what the message names

        const QByteArray none;
        const auto ok = [&](const char *name, const QStringList &arguments, const QByteArray &file,
                            const QByteArray &input, const QByteArray &out) {
            QTest::newRow(name) << arguments << file << input << 0 << out << none;
        };
        const auto fails = [&](const char *name, int status, const QStringList &arguments,
                               const QByteArray &file, const QByteArray &input,
                               const QByteArray &names) {
            QTest::newRow(name) << arguments << file << input << status << none << names;
        };
        const QByteArray help = lexorne::cli::helpText().toUtf8();

        ok("version", {u"--version"_s}, none, none, "Lexorne 0.10\n");
        ok("version, short", {u"-v"_s}, none, none, "Lexorne 0.10\n");
        ok("help", {u"--help"_s}, none, none, help);
        ok("help, short", {u"-h"_s}, none, none, help);
        ok("help wins over the rest", {u"--lettres"_s, u"e"_s, u"--help"_s}, none, "Le chat", help);

        ok("standard input", {u"--lettres"_s, u"e"_s}, none, "Le chat", "*e ****");
        ok("dash for standard input", {u"--lettres"_s, u"e"_s, u"-"_s}, "abc", "Le chat",
           "*e ****");
        ok("file", {u"--lettres"_s, u"e"_s, u"citation.txt"_s}, "Le chat", "ignored", "*e ****");
        ok("file after the options end", {u"--lettres"_s, u"e"_s, u"--"_s, u"citation.txt"_s},
           "Eté", none, "E*é");
        ok("letters in any case and order, repeated", {u"--lettres"_s, u"nEeN"_s}, none,
           "Été à Noël", "É*é * N*ë*");
        ok("no letter hides every letter", {u"--lettres"_s, u""_s}, none, "Oui, 42 !", "***, 42 !");
        ok("empty input", {u"--lettres"_s, u"e"_s}, none, none, none);
        ok("line breaks and signs kept", {u"--lettres"_s, u"b"_s}, none, "a\r\nb×ÿœ\tø÷\n",
           "*\r\nb×**\t*÷\n");
        ok("letters outside Latin-1", {u"--lettres"_s, u"osy"_s}, none, "cœur Ÿ Šž Y\xCC\x88",
           "*œ** Ÿ Š* Ÿ");
        ok("byte order mark kept", {u"--lettres"_s, u"a"_s}, none,
           "\xEF\xBB\xBF"
           "abc",
           "\xEF\xBB\xBF"
           "a**");
        ok("decomposed accents mask like composed ones", {u"--lettres"_s, u"e"_s}, none,
           "e\xCC\x81t\xC3\xA9", "\xC3\xA9*\xC3\xA9");
        ok("other scripts copied", {u"--lettres"_s, u""_s}, none, "Ωmega 😀", "Ω**** 😀");

        ok("log", {u"--lettres"_s, u"EN"_s, u"--log"_s}, none, "Noël", "N*ë*\r\r\r   E - N");
        ok("log without letters", {u"--log"_s, u"--lettres"_s, u""_s}, none, "Ab", "**\r\r\r");
        ok("log of an empty input", {u"--lettres"_s, u"z"_s, u"--log"_s}, none, none, "\r\r\r   Z");
        ok("absent letters", {u"--lettres"_s, u"wekh"_s, u"--log"_s, u"--absentes"_s}, none,
           "Le chat", "*e *h**\r\r\r   E - H - K - W\r   Absentes : K - W (2)");
        ok("no absent letter adds nothing", {u"--absentes"_s, u"--lettres"_s, u"EN"_s, u"--log"_s},
           none, "Noël", "N*ë*\r\r\r   E - N");

        ok("highlight",
           {u"--lettres"_s, u"en"_s, u"--entourer"_s, u"e"_s, u"--couleur"_s, u"rouge fonce"_s},
           none, "Été à Noël",
           "[color=darkred]É[/color]*[color=darkred]é[/color] * "
           "N*[color=darkred]ë[/color]*");
        ok("highlight covers the log",
           {u"--lettres"_s, u"en"_s, u"--log"_s, u"--entourer"_s, u"E"_s, u"--couleur"_s,
            u"ROUGE"_s},
           none, "Noël", "N*[color=red]ë[/color]*\r\r\r   [color=red]E[/color] - N");
        ok("highlight, accented colour name and list entry",
           {u"--lettres"_s, u"l"_s, u"--entourer"_s, u"L/l"_s, u"--couleur"_s, u"Bleu foncé"_s},
           none, "Ll", "[color=darkblue]L[/color][color=darkblue]l[/color]");
        ok("highlight of a hidden letter wraps nothing",
           {u"--lettres"_s, u"a"_s, u"--entourer"_s, u"b"_s, u"--couleur"_s, u"vert"_s}, none, "ab",
           "a*");

        fails("unknown option", 2, {u"--lettres"_s, u"e"_s, u"--bogus"_s}, none, none, "--bogus");
        fails("Qt window option", 2, {u"-platform"_s, u"offscreen"_s, u"--lettres"_s, u"e"_s}, none,
              none, "-platform");
        fails("letter outside A-Z", 2, {u"--lettres"_s, u"e1"_s}, none, none, "« 1 »");
        fails("space among letters", 2, {u"--lettres"_s, u"a e"_s}, none, none, "U+0020");
        fails("accented letter", 2, {u"--lettres"_s, u"é"_s}, none, none, "« é »");
        fails("letters missing their value", 2, {u"--lettres"_s}, none, none, "--lettres");
        fails("letters given twice", 2, {u"--lettres"_s, u"a"_s, u"--lettres"_s, u"b"_s}, none,
              none, "--lettres");
        fails("nothing to do", 2, {u"--"_s}, none, none, "--lettres");
        fails("file without letters", 2, {u"citation.txt"_s}, "abc", none, "citation.txt");
        fails("log without letters", 2, {u"--log"_s}, none, none, "--log");
        fails("absent letters without the log", 2, {u"--lettres"_s, u"e"_s, u"--absentes"_s}, none,
              none, "--absentes demande --log");
        fails("highlight without letters", 2, {u"--entourer"_s, u"e"_s, u"--couleur"_s, u"rouge"_s},
              none, "abc", "--lettres");
        fails("highlight without colour", 2, {u"--lettres"_s, u"e"_s, u"--entourer"_s, u"e"_s},
              none, none, kColourNames);
        fails("colour without highlight", 2, {u"--lettres"_s, u"e"_s, u"--couleur"_s, u"rouge"_s},
              none, none, "--entourer");
        fails("unknown colour", 2,
              {u"--lettres"_s, u"e"_s, u"--entourer"_s, u"e"_s, u"--couleur"_s, u"mauve"_s}, none,
              none, "mauve » ; couleurs possibles : " + kColourNames);
        fails("highlight of two letters", 2,
              {u"--lettres"_s, u"e"_s, u"--entourer"_s, u"ee"_s, u"--couleur"_s, u"rouge"_s}, none,
              none, "« ee »");
        fails("two files", 2, {u"--lettres"_s, u"e"_s, u"citation.txt"_s, u"autre.txt"_s}, "abc",
              none, "autre.txt");

        ok("credits, misses and results",
           {u"--qui"_s, u"e=Alice"_s, u"--qui"_s, u"T=Bob"_s, u"--log"_s, u"--erreurs"_s,
            u"--resultats"_s},
           none, "Le chat",
           "*e ***t\r\r\r   E - T\r   Erreurs : 0\r   R\xC3\xA9sultats : Alice 1 pt, Bob 1 pt");
        ok("guesses in the order given, with a limit",
           {u"--lettres"_s, u"e"_s, u"--qui"_s, u"k=Bob"_s, u"--essai"_s, u"Chloé=le chat"_s,
            u"--essai"_s, u"Bob=le chien"_s, u"--erreurs-max"_s, u"3"_s, u"--log"_s, u"--erreurs"_s,
            u"--resultats"_s},
           none, "Le chat",
           "*e ****\r\r\r   E - K\r   Erreurs : 2/3\r   R\xC3\xA9sultats : Chlo\xC3\xA9 5 pts, "
           "Bob 0 pt (2 erreurs)");
        ok("a name is no markup", {u"--qui"_s, u"e=[/color]"_s, u"--log"_s, u"--resultats"_s}, none,
           "e", "e\r\r\r   E\r   R\xC3\xA9sultats : [\xE2\x80\x8B/color] 1 pt");
        ok("reveal in a spoiler",
           {u"--lettres"_s, u"e"_s, u"--reveler"_s, u"--spoiler"_s, u"--couleur"_s, u"vert"_s},
           none, "Le h", "[spoiler][color=green]L[/color]e [color=green]h[/color][/spoiler]");
        ok("reveal with the log, first colour by default",
           {u"--lettres"_s, u"e"_s, u"--reveler"_s, u"--log"_s}, none, "eh",
           "e[color=darkred]h[/color]\r\r\r   E");
        fails("credit without a name", 2, {u"--qui"_s, u"e"_s}, none, none, "LETTRE=JOUEUR");
        fails("name too long", 2, {u"--qui"_s, u"e="_s + QString(41, u'x')}, none, none,
              "40 caract");
        fails("letter credited twice", 2, {u"--qui"_s, u"e=A"_s, u"--qui"_s, u"E=B"_s}, none, none,
              "lettre E");
        fails("guess without a name", 2, {u"--lettres"_s, u"e"_s, u"--essai"_s, u"le chat"_s}, none,
              none, "JOUEUR=TEXTE");
        fails("guess without letters", 2, {u"--essai"_s, u"A=le chat"_s}, none, none,
              "--essai demande --lettres ou --qui");
        fails("misses line without the log", 2, {u"--lettres"_s, u"e"_s, u"--erreurs"_s}, none,
              none, "--erreurs demande --log");
        fails("limit out of range", 2, {u"--lettres"_s, u"e"_s, u"--erreurs-max"_s, u"-1"_s}, none,
              none, "« -1 »");
        fails("spoiler without the reveal", 2, {u"--lettres"_s, u"e"_s, u"--spoiler"_s}, none, none,
              "--reveler");
        fails("reveal and highlight", 2,
              {u"--lettres"_s, u"e"_s, u"--reveler"_s, u"--entourer"_s, u"e"_s, u"--couleur"_s,
               u"vert"_s},
              none, none, "--entourer");
        fails("reveal of Latin-1 text", 1, {u"--lettres"_s, u"e"_s, u"--reveler"_s}, none, "ab\xE9",
              "0xE9 à la position 2 ");

        fails("missing file", 1, {u"--lettres"_s, u"e"_s, u"absent.txt"_s}, none, none,
              "absent.txt");
        fails("folder instead of a file", 1, {u"--lettres"_s, u"e"_s, u"."_s}, none, none, "« . »");
        fails("Latin-1 text", 1, {u"--lettres"_s, u"e"_s}, none, "ab\xE9t\xE9",
              "0xE9 à la position 2 ");
        fails("Latin-1 file", 1, {u"--lettres"_s, u"e"_s, u"citation.txt"_s}, "\xC3\xA9t\xE9", none,
              "0xE9 à la position 3 ");
        fails("cut short at the end", 1, {u"--lettres"_s, u"e"_s}, none, "abc\xC3", "position 3 ");
        fails("overlong form", 1, {u"--lettres"_s, u"e"_s}, none, "\xC0\xAF", "position 0 ");
        fails("encoded surrogate", 1, {u"--lettres"_s, u"e"_s}, none, "a\xED\xA0\x80",
              "position 1 ");
    }

    void outcomes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, names);

        Sandbox sandbox;
        if (!file.isNull())
            sandbox.writeFile(u"citation.txt"_s, file);
        const Outcome outcome = sandbox.run(arguments, input);
        QCOMPARE(outcome.status, status);
        if (status == 0) {
            QCOMPARE(outcome.out, out);
            QCOMPARE(outcome.err, QByteArray());
        } else {
            QCOMPARE(outcome.out, QByteArray());
            checkMessage(outcome.err, names);
        }
        QCOMPARE(sandbox.userFiles(), QStringList());
    }

    // Texts far larger than a pipe's buffer or one piece of the work, through
    // the pipe and through a file, against the whole text masked at once.
    void largeTexts_data()
    {
        QTest::addColumn<bool>("throughFile");
        QTest::addColumn<bool>("highlight");
        QTest::newRow("pipe") << false << false;
        QTest::newRow("file, highlight") << true << true;
    }

    void largeTexts()
    {
        QFETCH(bool, throughFile);
        QFETCH(bool, highlight);

        // No combining marks: Qt takes minutes to bring a long text full of
        // them to NFC in one go, as the reference below does.
        const QString pieces[] = {u"Été "_s, u"à Noël, "_s, u"\r\n"_s,   u"œuvre "_s,
                                  u"漢字"_s, u"😀"_s,        u"ÆØß×÷ "_s, u"e"_s};
        QRandomGenerator random(1234);
        QString text;
        while (text.size() < 3'000'000)
            text += pieces[random.bounded(int(std::size(pieces)))];
        QStringList arguments{u"--lettres"_s, u"aenrst"_s, u"--log"_s};
        if (highlight)
            arguments << u"--entourer"_s << u"e"_s << u"--couleur"_s << u"noir"_s;
        const lexorne::cli::Parsed parsed = lexorne::cli::parseArguments(arguments);
        QVERIFY(parsed.request);

        Sandbox sandbox;
        QByteArray input = text.toUtf8();
        if (throughFile) {
            sandbox.writeFile(u"citation.txt"_s, input);
            arguments << u"citation.txt"_s;
            input.clear();
        }
        const Outcome outcome = sandbox.run(arguments, input);
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.err, QByteArray());
        QVERIFY(outcome.out == lexorne::cli::render(*parsed.request, text));
    }

    // A full disk must not pass for success, whatever was to be written.
    void unwritableOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("masking") << QStringList{u"--lettres"_s, u"e"_s};
        QTest::newRow("version") << QStringList{u"--version"_s};
    }

    void unwritableOutput()
    {
        QFETCH(QStringList, arguments);
        if (!QFile::exists(u"/dev/full"_s))
            QSKIP("no /dev/full here");
        Sandbox sandbox;
        const Outcome outcome = sandbox.run(arguments, "Le chat", u"/dev/full"_s);
        QCOMPARE(outcome.status, 1);
        checkMessage(outcome.err, "sortie standard");
    }

#ifdef Q_OS_LINUX
    // The program finds its window program beside itself, never through
    // PATH: copied alone into a folder, with a stand-in on PATH that would
    // succeed, it fails and says where it looked.
    void windowProgramFoundBesideItself()
    {
        Sandbox sandbox;
        const QDir work(sandbox.work());
        const QString copy = work.filePath(u"lexorne"_s);
        QVERIFY(QFile::copy(QStringLiteral(LEXORNE_BINARY), copy));
        QVERIFY(work.mkpath(u"bin"_s));
        sandbox.writeFile(u"bin/lexorne-fenetre"_s, "#!/bin/sh\nexit 0\n");
        QVERIFY(QFile::setPermissions(work.filePath(u"bin/lexorne-fenetre"_s),
                                      QFile::ReadOwner | QFile::ExeOwner));
        QProcessEnvironment env = sandbox.environment();
        env.insert(u"PATH"_s, work.filePath(u"bin"_s) + u':' + env.value(u"PATH"_s));
        sandbox.setProgram(copy, env);

        const Outcome outcome = sandbox.run({u"-platform"_s, u"offscreen"_s});
        QCOMPARE(outcome.status, 1);
        checkMessage(outcome.err, "lexorne-fenetre) : introuvable");
        QCOMPARE(outcome.out, QByteArray());
    }
#endif

    // The game window of the same user runs meanwhile: it is neither asked
    // to come forward nor kept from answering later starts.
    void runningCopyUndisturbed()
    {
        Sandbox sandbox;
        lexorne::app::SingleInstance window(sandbox.runtime(), sandbox.runtime());
        QCOMPARE(window.start({}), lexorne::app::SingleInstance::Role::Primary);
        QSignalSpy requests(&window, &lexorne::app::SingleInstance::activationRequested);
        const QStringList before = sandbox.userFiles();

        const Outcome outcome = sandbox.run({u"--lettres"_s, u"e"_s}, "Le chat");
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.out, QByteArray("*e ****"));
        QTest::qWait(200);
        QCOMPARE(requests.count(), 0);
        QVERIFY(window.isListening());
        QCOMPARE(sandbox.userFiles(), before);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
