#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "platform/spooler.h"
#include "platform/win32/handle_counts.h"
#include "platform/win32/spooler_buffer.h"

namespace platform {

namespace {

using win32::SpoolerBuffer;
using win32::textOf;

HANDLE nativeHandle(PrinterHandle handle) { return reinterpret_cast<HANDLE>(handle); }

PrinterInfo2 fromWinspool(const PRINTER_INFO_2A& p) {
    PrinterInfo2 info;
    info.serverName = textOf(p.pServerName);
    info.printerName = textOf(p.pPrinterName);
    info.shareName = textOf(p.pShareName);
    info.portName = textOf(p.pPortName);
    info.driverName = textOf(p.pDriverName);
    info.comment = textOf(p.pComment);
    info.location = textOf(p.pLocation);
    info.sepFile = textOf(p.pSepFile);
    info.printProcessor = textOf(p.pPrintProcessor);
    info.datatype = textOf(p.pDatatype);
    info.parameters = textOf(p.pParameters);
    info.attributes = p.Attributes;
    info.priority = p.Priority;
    info.defaultPriority = p.DefaultPriority;
    info.startTime = p.StartTime;
    info.untilTime = p.UntilTime;
    info.status = p.Status;
    info.jobs = p.cJobs;
    info.averagePpm = p.AveragePPM;
    return info;
}

// Points the record's strings into copy, which must outlive the record's use. The device mode
// already in the record is kept; no security descriptor is passed, so the call needs no right
// to change the printer's security.
void toWinspool(PrinterInfo2& copy, PRINTER_INFO_2A* p) {
    p->pServerName = copy.serverName.empty() ? nullptr : copy.serverName.data();
    p->pPrinterName = copy.printerName.data();
    p->pShareName = copy.shareName.data();
    p->pPortName = copy.portName.data();
    p->pDriverName = copy.driverName.data();
    p->pComment = copy.comment.data();
    p->pLocation = copy.location.data();
    p->pSepFile = copy.sepFile.data();
    p->pPrintProcessor = copy.printProcessor.data();
    p->pDatatype = copy.datatype.data();
    p->pParameters = copy.parameters.data();
    p->pSecurityDescriptor = nullptr;
    p->Attributes = copy.attributes;
    p->Priority = copy.priority;
    p->DefaultPriority = copy.defaultPriority;
    p->StartTime = copy.startTime;
    p->UntilTime = copy.untilTime;
    p->Status = copy.status;
    p->cJobs = copy.jobs;
    p->AveragePPM = copy.averagePpm;
}

bool readLevel2(PrinterHandle handle, SpoolerBuffer* buffer, uint32_t* needed) {
    return win32::querySpooler(buffer, [&](BYTE* data, DWORD size, DWORD* required) {
        const BOOL ok = GetPrinterA(nativeHandle(handle), 2, data, size, required);
        if (needed != nullptr) *needed = *required;
        return ok;
    });
}

}  // namespace

bool openPrinter(const std::string& name, uint32_t desiredAccess, PrinterHandle* handle) {
    std::string printerName = name;
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, desiredAccess};
    HANDLE native = nullptr;
    const BOOL ok = OpenPrinterA(printerName.data(), &native, &defaults);
    if (ok) win32::countOpened(win32::CountedHandle::Printer);
    if (handle != nullptr) *handle = ok ? reinterpret_cast<PrinterHandle>(native) : nullptr;
    return ok != FALSE;
}

bool closePrinter(PrinterHandle handle) {
    const bool closed = ClosePrinter(nativeHandle(handle)) != FALSE;
    if (closed) win32::countClosed(win32::CountedHandle::Printer);
    return closed;
}

bool getPrinter(PrinterHandle handle, PrinterInfo2* info, uint32_t* needed) {
    if (info == nullptr) {
        DWORD required = 0;
        const BOOL ok = GetPrinterA(nativeHandle(handle), 2, nullptr, 0, &required);
        if (needed != nullptr) *needed = required;
        if (ok) SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    SpoolerBuffer buffer;
    if (!readLevel2(handle, &buffer, needed)) return false;
    *info = fromWinspool(*reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data()));
    return true;
}

bool setPrinter(PrinterHandle handle, const PrinterInfo2& info) {
    SpoolerBuffer buffer;
    if (!readLevel2(handle, &buffer, nullptr)) return false;
    PrinterInfo2 copy = info;
    auto* record = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    toWinspool(copy, record);
    return SetPrinterA(nativeHandle(handle), 2, buffer.data(), 0) != FALSE;
}

bool enumPrinters(uint32_t flags, std::vector<PrinterInfo2>* printers) {
    printers->clear();
    SpoolerBuffer buffer;
    DWORD returned = 0;
    const bool ok = win32::querySpooler(&buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        return EnumPrintersA(flags, nullptr, 2, data, size, needed, &returned);
    });
    if (!ok) return false;
    const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) printers->push_back(fromWinspool(records[i]));
    return true;
}

}  // namespace platform
