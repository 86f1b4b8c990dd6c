#pragma once

#include "commands/generic_info.h"
#include "platform/spooler.h"

// Installs the print processor that the printer's driver names in its data section and makes
// the printer use it with the driver's default data type. It reads no command sections.
class ProcessorInfo : public GenericInfo {
  public:
    // The record belongs to the engine; the processor and data type are set in it in place.
    ProcessorInfo(RunContext* engine, platform::PrinterInfo2* printer);
    ~ProcessorInfo() override = default;

    // True as soon as the driver's install section names a data section; what follows only
    // logs its failures.
    bool Process() override;
    bool HandleCommand(const std::vector<CStdStr>& arguments) override;

    // Fills the processor name, library and data type from the first key pair that names a
    // processor; a data type found under an earlier pair stays.
    void readProcessorKeys(const CStdStr& dataSection);
    bool addProcessor();
    bool writeProcessorInfo();

    const CStdStr& getProcessorName() const { return processorName; }
    const CStdStr& getProcessorDll() const { return processorDll; }
    const CStdStr& getDataType() const { return dataType; }

  private:
    bool readProcessorKey(const CStdStr& dataSection, const char* key);
    void readDataTypeKey(const CStdStr& dataSection, const char* key);
    bool printerAlreadyConfigured() const;
    void logPrinterFailure(const char* message, uint32_t code) const;

    platform::PrinterInfo2* printer;  // not owned
    CStdStr processorDll;
    CStdStr processorName;
    CStdStr dataType;
};
