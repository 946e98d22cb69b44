"""Log in as demo, trade 0.1 lots of EURUSD and log out: python3 quickstart.py HOST PORT [--pin PIN]"""
import argparse

import tradewire

parser = argparse.ArgumentParser()
parser.add_argument("host")
parser.add_argument("port", type=int)
parser.add_argument("--pin", help="the server key's SHA-256 pin")
args = parser.parse_args()

with tradewire.Connection(args.host, args.port, pin=args.pin) as conn:
    conn.login("demo", "demo")
    print(f"balance: {conn.balance:.2f}")
    for symbol, quote in list(conn.quotes.items())[:3]:
        print(f"{symbol}: bid {quote.bid} ask {quote.ask}")
    deal = conn.buy("EURUSD", 0.1)
    print(f"bought: position {deal.position_no}, {deal.lots} lots at {deal.price}")
    closing = conn.close_position(deal)
    profit = sum(h.profit for h in conn.history if h.position_no == closing.position_no)
    print(f"closed at {closing.price}, profit {profit:.2f}")
    print(f"balance: {conn.balance:.2f}")
    print(conn.logout())
