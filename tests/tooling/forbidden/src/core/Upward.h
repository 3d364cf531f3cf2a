// A core header that reaches up into the views: the include check must refuse it.
#pragma once

#include "widgets/ChartWidget.h"
