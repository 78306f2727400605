// The main window over large vaults: opening it after the login, switching groups,
// and its peak memory. Built with the UI, run by hand:
//   build/default/bench/zorvan_window_bench
// Names are <operation>/<layout>/<items>; "Time" is wall-clock time, which is what a
// user waits (the group load also writes the settings file), "CPU" the process's own.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>

#include "app/Session.h"
#include "support/WindowVault.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/main/ListInteractions.h"
#include "ui/main/frmMain.h"
#include "vault/Cipher.h"
#include "vault/CyrptFunction.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace zorvan {
namespace {

using bench::WindowVault;
using Layout = WindowVault::Layout;

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr Layout kLayouts[] = {Layout::kGroups20, Layout::kOneGroup};

std::map<std::pair<Layout, int>, std::unique_ptr<WindowVault>>& Vaults() {
    static std::map<std::pair<Layout, int>, std::unique_ptr<WindowVault>> vaults;
    return vaults;
}

double PeakRssMb() {
#ifdef _WIN32
    return 0.0;
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
#endif
}

// What the password dialog leaves behind when it accepts: the key installed and the
// password remembered.
std::unique_ptr<Session> LoggedIn(const WindowVault& vault) {
    auto session = std::make_unique<Session>(vault.paths());
    session->strMasterPass = WindowVault::kPassword;
    session->blnPassOK = true;
    CyrptFunction::SetCipherKey(KeyBytes(WindowVault::kPassword).span());
    return session;
}

// From an accepted password to the shown main window with the last group listed,
// as the start-up opens it, and painted once.
void BM_Startup(benchmark::State& state, Layout layout, int items) {
    const WindowVault& vault = *Vaults().at({layout, items});
    QtUiServices ui;
    for (auto _ : state) {
        state.PauseTiming();
        const auto session = LoggedIn(vault);
        state.ResumeTiming();
        auto main = std::make_unique<frmMain>(*session, ui);
        main->Form_Load();
        main->show();
        QApplication::processEvents();
        state.PauseTiming();
        if (main->groupSelector()->currentText() != ToQ(vault.biggestGroup())) {
            state.SkipWithError("the last group was not loaded");
        }
        main.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_rss_mb"] = PeakRssMb();
}

// Choosing a group in the selector until its rows are shown and painted: the
// biggest group of the vault, chosen from the group before it.
void BM_GroupSwitch(benchmark::State& state, Layout layout, int items) {
    const WindowVault& vault = *Vaults().at({layout, items});
    QtUiServices ui;
    const auto session = LoggedIn(vault);
    frmMain main(*session, ui);
    main.Form_Load();
    main.show();
    QApplication::processEvents();
    QComboBox* selector = main.groupSelector();
    const int target = selector->count() - 1;
    for (auto _ : state) {
        state.PauseTiming();
        selector->setCurrentIndex(target - 1);
        QApplication::processEvents();
        state.ResumeTiming();
        selector->setCurrentIndex(target);
        QApplication::processEvents();
    }
    state.counters["peak_rss_mb"] = PeakRssMb();
}

// A click on the name column's heading with the biggest group shown: the rows are
// sorted, ascending and descending in turn, and painted.
void BM_Sort(benchmark::State& state, Layout layout, int items) {
    const WindowVault& vault = *Vaults().at({layout, items});
    QtUiServices ui;
    const auto session = LoggedIn(vault);
    frmMain main(*session, ui);
    main.Form_Load();
    main.show();
    QApplication::processEvents();
    for (auto _ : state) {
        main.listInteractions().lvwMain_ColumnClick(0);
        QApplication::processEvents();
    }
}

}  // namespace
}  // namespace zorvan

int main(int argc, char** argv) {
    using namespace zorvan;
    // The benchmark needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes about window hints would drown the table.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
        }
    });
    benchmark::Initialize(&argc, argv);
    // The vaults are built before Qt starts any thread: they are built in child
    // processes.
    for (const int items : kSizes) {
        for (const Layout layout : kLayouts) {
            Vaults()[{layout, items}] = std::make_unique<WindowVault>(layout, items);
        }
    }
    QApplication app(argc, argv);
    const auto name = [](const char* operation, Layout layout, int items) {
        return std::string(operation) + "/" + WindowVault::LayoutName(layout) + "/" +
               std::to_string(items);
    };
    for (const int items : kSizes) {
        for (const Layout layout : kLayouts) {
            benchmark::RegisterBenchmark(name("startup", layout, items).c_str(), BM_Startup, layout,
                                         items)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const int items : kSizes) {
        for (const Layout layout : kLayouts) {
            benchmark::RegisterBenchmark(name("group_switch", layout, items).c_str(),
                                         BM_GroupSwitch, layout, items)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const int items : kSizes) {
        for (const Layout layout : kLayouts) {
            benchmark::RegisterBenchmark(name("sort", layout, items).c_str(), BM_Sort, layout,
                                         items)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Vaults().clear();
    return 0;
}
