// The client program.

#include "ClientStartupHost.h"
#include "DemoTour.h"
#include "SharedInstances.h"
#include "bank/TGetData.h"
#include "platform/MessageBoxPresenter.h"
#include "platform/ProgramDir.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationDisplayName(kProductTitle);
    initProgramDir(QApplication::arguments());
    MessageBoxPresenter::install();

    // The shared instances outlive every window and are torn down (after the
    // background threads are joined) before the application object.
    SharedInstances::Scope shared;
    // The records' Execute operations send through the bank session.
    TGetData::InstallGateway();
    // The scripted tour of the demo, when asked for.
    std::unique_ptr<DemoTour> tour(DemoTour::FromArguments(QApplication::arguments()));
    ClientStartupHost host;
    return RunStartup(host);
}
