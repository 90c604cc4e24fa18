#include "calc/lon_lat.h"

#include "common/number_rules.h"

namespace mq::calc {

Status check_latitude(double latitude)
{
    if (latitude >= -90 && latitude <= 90) return {};
    return Error{
        "latitude " + numbers::general_text(latitude) + " is out of range: latitudes run from -90 to 90", "",
        0}
        .as(ErrorKind::type_mismatch);
}

}  // namespace mq::calc
