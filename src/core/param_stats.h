// The statistics of one parameter: what the statistics step finds and the listing,
// the scale, the rules and the chart read. The passes hold them and hand them on: the
// statistics step fills them, every later step takes them as const.
#pragma once
#include <cmath>
#include <string>

#include "base/shown.h"

struct ParamStats {
    // Extremes over the files (and over the overlaid parameters of an overlay chart,
    // which keep them from one parameter to the next). They start from the data:
    // before the first value they are -HUGE_VAL / HUGE_VAL.
    double max_y = -HUGE_VAL, min_y = HUGE_VAL;
    // The extremes as the listing shows them and the Y scale starts from: decimals for a
    // decimal column, whole numbers otherwise (of the moving average with --average=n:0)
    Shown shown_max, shown_min;
    int places = 0;            // decimals of the parameter's values as shown
    double thispar_max_y = 0;  // extremes of the last series scanned
    double thispar_min_y = 0;
    std::string max_y_time;    // time of the maximum
    int multi_const = 0;       // the parameter's values are constant
    int nodata = 0;            // the parameter has no value present in the first file
    // Sum of the first file's values present, their count and whether all are finite:
    // found in the pass that finds the extremes.
    double sumx = 0;
    int present = 0;
    bool finite = true;
    double avg = 0, variance = 0, stdev = 0;
    double ratio = 1.0;                              // maximum over the maximum as shown
    double mamax_y = -HUGE_VAL, mamin_y = HUGE_VAL;  // moving-average peak and trough
    std::string ma_x_val, mi_x_val;                  // their times
    int ma_x_val_min = 0, ma_x_val_max = 0;          // rows of the peak period
    double corrcoef = 0;                             // coefficient of the correlation test
};
