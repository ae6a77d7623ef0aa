/* A stand-in light bar firmware for the demo and the tests: it blinks the bar's LEDs at a rate
 * taken from a table in flash. Built in several variants by scripts/make-sample-firmware. */
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>

#define TEXT2(x) #x
#define TEXT(x) TEXT2(x)

#ifdef VCB_FORMAT
/* Identification block: the programming tool reads it from the first kilobyte of the code, so
 * it goes right after the interrupt vectors, ahead of any table. */
const char firmware_id[] __attribute__((used, section(".progmem.gcc_firmware_id"))) =
    "<Veltrane Inc. Firmware ID>"
    ":product:" PRODUCT
    ":version:" VERSION
    ":VCB Format:" TEXT(VCB_FORMAT)
    ":date:" DATE
    "<end>";
#endif

#ifdef LARGE_TABLE
/* Large brightness tables that push the code above 64 KB (one object stays below 32 KB). */
#define TABLE(name, a, b)                                                                      \
    const uint8_t name[0x6000] PROGMEM __attribute__((used)) = {                               \
        [0x0000 ... 0x2FFF] = a, [0x3000 ... 0x5FFE] = b, [0x5FFF] = (uint8_t)(a ^ b)}
TABLE(brightness, 0x11, 0x22);
TABLE(brightness2, 0x44, 0x88);
TABLE(brightness3, 0x5A, 0xA5);
static uint8_t rate(uint16_t step) { return pgm_read_byte_far(pgm_get_far_address(brightness3) + step % 0x6000); }
#else
static const uint8_t brightness[16] PROGMEM = {1, 2, 4, 8, 16, 32, 64, 128, 128, 64, 32, 16, 8, 4, 2, 1};
static uint8_t rate(uint16_t step) { return pgm_read_byte(&brightness[step & 15]); }
#endif

int main(void)
{
    DDRA = 0xFF;
    for (uint16_t step = 0;; ++step) {
        PORTA = rate(step);
        for (volatile uint16_t wait = 0; wait < 1000; ++wait) {
        }
    }
}
