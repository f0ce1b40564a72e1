#include "start_routine.h"

#include "pravik/document/program_texts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(pravik::kProgramTitle);
    return pravik::app::runStartRoutine(application);
}
