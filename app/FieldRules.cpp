#include "FieldRules.h"

void attachFieldRules(QWidget*)
{
}
