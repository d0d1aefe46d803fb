#!/usr/bin/env python3
"""The service's WSDL read by an independent SOAP client (zeep), which then calls one read and
one write through it: GetVendorIncomingLoad and AddPODetails, the second time with an older entry.

Usage: zeep_client.py PATH/TO/palletry-service
"""
import os
import sqlite3
import subprocess
import sys
import tempfile

import requests
import zeep
import zeep.exceptions
import zeep.transports


def line_item(weight, stamp):
    return dict(OrderID="00000010011", KLTV_OrderSegment=2, LineItem=1, ReceivedDate=stamp,
                QuantityReceived=0, UnitWeight=weight, PersonID=15, PersonType="2",
                RecordLastUpdated=stamp, UnloadedIndicator=0, StorageIndicator=0)


def main():
    with tempfile.TemporaryDirectory() as folder:
        db = os.path.join(folder, "loads.db")
        service = subprocess.Popen([sys.argv[1], "--port", "0", "--db", db], stdout=subprocess.PIPE,
                                   text=True)
        try:
            server = service.stdout.readline().strip()
            address = service.stdout.readline().strip()
            assert server.startswith("http://127.0.0.1:"), server
            assert address.startswith(server + "/"), address
            session = requests.Session()
            session.trust_env = False  # loopback only, whatever proxy the environment names
            client = zeep.Client(address + "?WSDL", transport=zeep.transports.Transport(session=session))

            load = client.service.GetVendorIncomingLoad(IncomingLoadID=1001)
            assert "<IncomingLoadID>1001</IncomingLoadID>" in load, load[:400]
            assert "<TruckNumber>TRK-0417</TruckNumber>" in load, load[:400]

            assert client.service.AddPODetails(**line_item(22.5, "2026-12-07T10:15:02")) is None
            try:
                client.service.AddPODetails(**line_item(11.5, "2026-12-07T10:14:58"))
                raise AssertionError("an older entry was accepted")
            except zeep.exceptions.Fault as fault:
                assert "a newer entry of this line item is stored" in fault.message, fault.message
        finally:
            service.terminate()
            service.wait(30)
        with sqlite3.connect(db) as stored:
            rows = stored.execute("SELECT UnitWeight, RecordLastUpdated FROM LineItemDetails"
                                  " WHERE OrderID = '00000010011' AND Segment = 2 AND LineItem = 1").fetchall()
        assert rows == [(22.5, "2026-12-07T10:15:02")], rows
    print("zeep read the WSDL, called GetVendorIncomingLoad and AddPODetails")


if __name__ == "__main__":
    main()
