// Ralvo: the real window, or the headless harness with --headless.
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "extras/dump.h"
#include "platform/headless/headless_platform.h"
#include "platform/qt/qt_platform.h"
#include "platform/script.h"
#include "render/figure.h"
#include "shell/events.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace {

struct Options {
    bool headless = false;
    std::string dir;
    std::optional<uint64_t> seed;
    std::string script;
    std::string log;
};

const char* const kUsage =
    "usage: ralvo [--headless] [--dir DIR] [--seed N] [--script FILE] [--log FILE]\n";

// Parses the command line; prints the problem and returns nullopt on bad input.
std::optional<Options> ParseArgs(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        std::optional<std::string> v;
        if (a == "--headless") {
            o.headless = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            std::exit(0);
        }
        if (a != "--dir" && a != "--seed" && a != "--script" && a != "--log") {
            std::cerr << "ralvo: unknown argument: " << a << "\n" << kUsage;
            return std::nullopt;
        }
        if (!(v = value())) {
            std::cerr << "ralvo: " << a << " needs a value\n" << kUsage;
            return std::nullopt;
        }
        if (a == "--dir") o.dir = *v;
        if (a == "--script") o.script = *v;
        if (a == "--log") o.log = *v;
        if (a == "--seed") {
            char* end = nullptr;
            errno = 0;
            const unsigned long long n = std::strtoull(v->c_str(), &end, 10);
            if (v->empty() || *end != '\0' || errno != 0 || (*v)[0] == '-') {
                std::cerr << "ralvo: --seed needs a whole number, not \"" << *v << "\"\n";
                return std::nullopt;
            }
            o.seed = n;
        }
    }
    return o;
}

std::optional<std::vector<ralvo::ScriptStep>> LoadSteps(const std::string& path) {
    auto result = ralvo::LoadScriptFile(path);
    if (!result.ok()) {
        std::cerr << "ralvo: " << result.error << "\n";
        return std::nullopt;
    }
    return std::move(result.steps);
}

void SetUpGame(ralvo::Game& g, const Options& o) {
    g.AppDir = !o.dir.empty() ? o.dir : QCoreApplication::applicationDirPath().toStdString();
    g.SeedOverride = o.seed;
}

int RunHeadless(const Options& o) {
    ralvo::HeadlessPlatform platform;
    if (!o.log.empty() && !platform.SetLogFile(o.log)) {
        std::cerr << "ralvo: cannot write the log file " << o.log << "\n";
        return 2;
    }
    if (!o.script.empty()) {
        auto steps = LoadSteps(o.script);
        if (!steps) return 2;
        platform.LoadScript(std::move(*steps));
    }
    ralvo::Game g(platform);
    SetUpGame(g, o);
    ralvo::GameEvents events(g);
    platform.SetEventSink(&events);
    platform.onDump = [&g](const std::string& title) { ralvo::DumpAll(g, title); };
    try {
        ralvo::StartUp(g);
        if (o.script.empty()) ralvo::EndProgram(g);
        ralvo::MainLoop(g);
    } catch (const ralvo::ProgramEnded& end) {
        if (o.log.empty())
            for (const std::string& line : platform.Log()) std::cout << line << "\n";
        return end.exitCode;
    }
}

int RunWindow(int argc, char** argv, const Options& o) {
    QApplication app(argc, argv);
    ralvo::InstallJapanese(app);
    std::optional<std::vector<ralvo::ScriptStep>> steps;
    if (!o.script.empty() && !(steps = LoadSteps(o.script))) return 2;
    ralvo::QtPlatform platform;
    if (ralvo::Image icon; ralvo::LoadProgramIcon(icon)) platform.SetWindowIcon(icon);
    ralvo::Game g(platform);
    SetUpGame(g, o);
    ralvo::GameEvents events(g);
    platform.SetEventSink(&events);
    platform.onDump = [&g](const std::string& title) { ralvo::DumpAll(g, title); };
    if (steps) platform.RunScript(std::move(*steps));
    ralvo::StartUp(g);
    ralvo::MainLoop(g);
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = ParseArgs(argc, argv);
    if (!options) return 2;
    if (options->headless) {
        // QImage needs an application object for its image plugins, not a display.
        QCoreApplication app(argc, argv);
        return RunHeadless(*options);
    }
    return RunWindow(argc, argv, *options);
}
