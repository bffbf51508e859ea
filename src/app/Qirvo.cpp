#include "InputUnit.h"
#include "MainUnit.h"
#include "MessageBox.h"
#include "QirvoError.h"
#include "SearchUnit.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"
#include "StoreChoice.h"
#include "UsergjEditorUnit.h"
#include "gJiSearchUnit.h"
#include "gZhongUnit.h"
#include "jChengUnit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Qt's own dialogs (file choosers, print setup) speak Chinese like the rest of the program.
    QTranslator qtChinese;
    if (qtChinese.load(u"qtbase_zh_CN"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtChinese);
    TShareDM shareDM;
    TQirvofrm mainForm;
    TInputfrm entryForm(&mainForm);
    TSearchfrm searchForm(&mainForm);
    TgZhongfrm workTypeEditor(&mainForm);
    Tjchengfrm rewardEditor(&mainForm);
    TgJifrm payrollChoice(&mainForm);
    TUserGjEditorfrm payrollRowEditor(&mainForm);
    try {
        StoreChoice::setServer(StoreChoice::read(app.arguments(), AppDir()));
        if (mainForm.FormShow() != TQirvofrm::StartResult::Ready)
            return 0;
    } catch (const QirvoError& error) {
        MessageBox::error(nullptr, error.message());
        return 1;
    }
    mainForm.show();
    return app.exec();
}
