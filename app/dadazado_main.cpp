#include "app/dadazado_main.h"

#include "app/dadazado_engine.h"

int dadazadoMain(const CStdStr& commandLine) {
    DadazadoEngine engine;
    return engine.run(commandLine);
}
