#include "platform/qt/TemplateButtons.h"

namespace orvel::platform {

bool IsTemplateButtonClass(const QString& className) {
  for (const QMetaObject* meta : {&TemplatePushButton::staticMetaObject, &TemplateRadioButton::staticMetaObject,
                                  &TemplateCheckBox::staticMetaObject})
    if (className == QLatin1String(meta->className())) return true;
  return false;
}

}  // namespace orvel::platform
