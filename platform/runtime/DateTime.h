#pragma once
// Dates and times as the system stores and compares them: the OLE automation date,
// days since 1899-12-30 00:00 as a double, in local time. 0 means "no date".
// This module is the only place that does date arithmetic.

using TDateTime = double;
