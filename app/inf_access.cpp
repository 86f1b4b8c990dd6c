#include "app/dadazado_engine.h"

bool DadazadoEngine::getInfValue(const CStdStr& section, const CStdStr& key, CStdStr& value) const {
    value.clear();
    return InfFile::getValue(findInfSection(section), key, value);
}

const std::vector<CStdStr>* DadazadoEngine::findInfSection(const CStdStr& name) const {
    return inf ? inf->findSection(name) : nullptr;
}

bool DadazadoEngine::isCommandForThisInstall(int mask) const {
    if (mask == 0) return false;
    return (mask & (pointAndPrint ? kPointAndPrint : kLocalInstall)) != 0;
}
