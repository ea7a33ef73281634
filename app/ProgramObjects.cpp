#include "ProgramObjects.h"

#include "COsVersion.h"
#include "CPersonalCleaner.h"
#include "CQuenzoAboutDlg.h"
#include "CQuenzoFileDeleteDlg.h"
#include "CQuenzoOptionDlg.h"
#include "CQuenzoPersnalDeleteDlg.h"
#include "CRegInfo.h"
#include "CSDEngine.h"
#include "CTaskbarNotifier.h"

ProgramObjects::ProgramObjects()
    : deletionList(std::make_unique<CQuenzoFileDeleteDlg>()),
      engine(std::make_unique<CSDEngine>([list = deletionList.get()] { return list->CurrentMethod(); })),
      cleaner(std::make_unique<CPersonalCleaner>(*engine)),
      personalWindow(std::make_unique<CQuenzoPersnalDeleteDlg>(*cleaner)),
      preferences(std::make_unique<CQuenzoOptionDlg>()),
      registry(std::make_unique<CRegInfo>()),
      osVersion(std::make_unique<COsVersion>()),
      about(std::make_unique<CQuenzoAboutDlg>()),
      notifier(std::make_unique<CTaskbarNotifier>())
{
    deletionList->SetEngine(engine.get());
}

ProgramObjects::~ProgramObjects() = default;
