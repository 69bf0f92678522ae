// A subsystem reaching up to the form: the layer check must refuse this file.
#include "bookings/booking_record.h"
#include "form/tform1.h"
