#include "link/workflows.h"

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "link/block_transfer.h"
#include "platform/progress.h"
#include "rules/config_check.h"
#include "workspace/usage.h"

namespace vexa::link {

std::string TooBigMessage(const std::string& usageText, const std::string& memorySizeText) {
  return "Velikost dat v nastavení (" + usageText + ") je větší než je možno vložit do EEPROM (" + memorySizeText +
         ").";
}

WorkflowResult ReadWorkflow(Link& link, Workspace& ws, Services& sv) {
  // Without a known size the read has no end address.
  if (!UsableMemorySize(ws.device)) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, kMsgReadSizeUnknown);
    return WorkflowResult::Refused;
  }
  if (!ReadEeprom(link, ws, sv)) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, kMsgReadFailed);
    return WorkflowResult::Failed;
  }
  if (ws.CancelRequested) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Information, kMsgReadCancelled);
    return WorkflowResult::Cancelled;
  }
  if (!IsImageValid(ws.image)) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Warning, kMsgNotProgrammed);
    return WorkflowResult::NotProgrammed;
  }
  if (sv.view) sv.view->ShowTab(kGeneralTab);
  ShowProgress(ws, sv, kMsgDecoding, false);
  const bool decoded = DecodeImage(ws);
  if (decoded && sv.view) sv.view->ConfigReplaced();
  CloseProgress(sv);
  if (!decoded) {
    sv.messages.Show(Icon::Error, kMsgReadDamaged);
    return WorkflowResult::Failed;
  }
  sv.messages.Show(Icon::Information, kMsgReadDone);
  return WorkflowResult::Completed;
}

WorkflowResult WriteWorkflow(Link& link, Workspace& ws, Services& sv) {
  // 1. Names and commands of the outputs.
  if (const auto offence = rules::CheckOutputs(ws.config)) {
    if (sv.view) sv.view->ShowTab(kOutputsTab);
    sv.messages.Show(Icon::Error, offence->message);
    if (sv.view) sv.view->FocusField(offence->field);
    return WorkflowResult::Refused;
  }

  // 2. The configuration must fit the unit's memory.
  const auto memorySize = UsableMemorySize(ws.device);
  if (!memorySize) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, kMsgWriteSizeUnknown);
    return WorkflowResult::Refused;
  }
  const MemoryUsage usage = UpdateMemoryUsage(ws.config, ws.device.MemorySize);
  if (*memorySize < usage.usage) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, TooBigMessage(usage.usageText, ws.device.MemorySize));
    return WorkflowResult::Refused;
  }

  // 3. Encode and test the header.
  if (!EncodeImage(ws) || !IsImageValid(ws.image)) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, kMsgEncodeFailed);
    return WorkflowResult::Refused;
  }

  // 4. Transfer.
  switch (WriteEeprom(link, ws, sv, usage.usage)) {
    case WriteOutcome::Failed: sv.messages.Show(Icon::Error, kMsgWriteFailed); return WorkflowResult::Failed;
    case WriteOutcome::Cancelled:
      sv.messages.Show(Icon::Information, kMsgWriteCancelled);
      return WorkflowResult::Cancelled;
    case WriteOutcome::Completed: break;
  }
  sv.messages.Show(Icon::Information, kMsgWriteDone);
  return WorkflowResult::Completed;
}

}  // namespace vexa::link
